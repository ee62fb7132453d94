#pragma once
// The output pane along the bottom: what the compile command and the built program print.
// Everything that writes the pane goes through SetOutputText and AppendOutputText.

#include <windows.h>

#include <string_view>

// The pane's window procedure, put in place of its edit control's own by InstallOutputPane:
// a double-click on a compiler's message also shows its source line; everything else is the
// edit control's.
LRESULT CALLBACK OutPut(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InstallOutputPane(HWND pane);

// Replaces the pane's whole text.
void SetOutputText(std::wstring_view text);

// Adds text at the end of the pane without setting its whole text anew, and shows the end.
void AppendOutputText(std::wstring_view text);

// After a double-click in the output pane: when the line under the pane's caret is a
// compiler message with a line number, puts the editor's caret there. True if it did.
bool ShowSourceOfCompilerMessage(HWND pane);
