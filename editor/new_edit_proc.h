#pragma once
// The editor's own keys on top of the standard edit control.

#include <windows.h>

// Label for the caret position text; no window is made for it, so it stays null.
extern HWND hLabel;

LRESULT CALLBACK NewEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Formats the caret position into the label and returns the selection's start.
int UpdateCursorPos(HWND edit, HWND label);

// Width of the whole string in the context's font, 0 when it cannot be measured.
int CalculateTextWidth(HDC dc, const wchar_t* text);
