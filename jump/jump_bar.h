#pragma once
// The jump bar down the right edge: its 19 buttons scroll the editor to their markers.

#include <windows.h>

#include <string>

// The jump bar's window procedure, put in place of its STATIC control's own by InstallJumpBar;
// every message the bar does not handle goes on to the control's own.
LRESULT CALLBACK JumpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InstallJumpBar(HWND bar);

// Scrolls the edit control to the first occurrence of `marker`, selects it and gives the control
// the keyboard focus. A marker that does not occur changes nothing.
void ScrollToText(HWND edit, const std::u16string& marker);
