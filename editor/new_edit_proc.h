#pragma once

#include <windows.h>

LRESULT CALLBACK NewEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
