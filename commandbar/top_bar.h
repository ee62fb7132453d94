#pragma once

#include <windows.h>

LRESULT CALLBACK TopBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                        DWORD_PTR referenceData);
