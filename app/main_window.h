#pragma once
// The main window and the globals it creates.

#include <windows.h>

constexpr int kCurrentPathCapacity = 260;

extern HWND mHwnd;
extern HINSTANCE mhI;
extern HWND hEdit;
extern WNDPROC OldEditProc;
extern HFONT hNormalFont;
extern HFONT hOldFont;
extern HBRUSH hBrushBlack;
extern wchar_t currentPathA[kCurrentPathCapacity];
extern COLORREF textColor;
extern COLORREF backgroundColor;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
