#pragma once
// The main window: it makes the editor and the fonts as it is created, paints the dark frame,
// colours the edit controls and hands the keyboard to the editor.

#include <windows.h>

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
