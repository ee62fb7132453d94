#pragma once
// The command bar along the top of the main window.

#include <windows.h>

// The command bar's window procedure, put in place of its STATIC control's own by
// InstallCommandBar; every message the bar does not handle goes on to the control's own.
LRESULT CALLBACK TopBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InstallCommandBar(HWND bar);

int getIntegerFromWindow(HWND window);
