#pragma once
// The editor's own keys on top of the standard edit control.

#include <windows.h>

// The editor's window procedure, put in place of its edit control's own by InstallEditorKeys;
// every message it does not handle goes on to the control's own.
LRESULT CALLBACK NewEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InstallEditorKeys(HWND edit);

// Shows the caret's line and column in hLabel, whatever it showed before.
void ShowCaretPlaceNow(HWND edit);

// The selection's start, where Enter breaks the line; the label follows the caret by itself.
int UpdateCursorPos(HWND edit);

// Width of the whole string in the context's font, 0 when it cannot be measured.
int CalculateTextWidth(HDC dc, const wchar_t* text);
