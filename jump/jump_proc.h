#pragma once

#include <windows.h>

LRESULT CALLBACK JumpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                          DWORD_PTR referenceData);
