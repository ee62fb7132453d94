#pragma once
// The command bar along the top of the main window.

#include <windows.h>

// Slots of the command bar group that the commands read or change.
constexpr int kJumpBarToggleSlot = 6;
constexpr int kCountFieldSlot = 11;

// The command bar's window procedure, put in place of its STATIC control's own, which
// `OldTopBarProc` keeps for every message the bar does not handle.
LRESULT CALLBACK TopBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
extern WNDPROC OldTopBarProc;

int getIntegerFromWindow(HWND window);
