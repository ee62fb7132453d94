#pragma once

#include <windows.h>

#include <string>

// The jump bar's window procedure, put in place of its STATIC control's own, which
// `OldJumpProc` keeps for every message the bar does not handle.
LRESULT CALLBACK JumpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
extern WNDPROC OldJumpProc;

// Scrolls the edit control to the first occurrence of `marker`, selects it and gives the control
// the keyboard focus. A marker that does not occur changes nothing.
void ScrollToText(HWND edit, const std::u16string& marker);
