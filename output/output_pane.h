#pragma once
// The output pane along the bottom: what the compile command and the built program print.
// Everything that writes the pane goes through SetOutputText and AppendOutputText.

#include <windows.h>

#include <string_view>

// The pane's window procedure, put in place of its edit control's own by InstallOutputPane:
// a double-click on a compiler's message also shows its source line, and the pane's top edge is
// the splitter that the mouse drags to make the pane taller or shorter; everything else is the
// edit control's.
LRESULT CALLBACK OutPut(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InstallOutputPane(HWND pane);

// Replaces the pane's whole text.
void SetOutputText(std::wstring_view text);

// Adds text at the end of the pane without setting its whole text anew, and shows the end.
void AppendOutputText(std::wstring_view text);

// Replaces the pane's text from `from` to its end: output arriving before an input line that
// is still being typed.
void ReplaceOutputEnd(std::size_t from, std::wstring_view text);

// Gives the pane a fixed-pitch font as tall as the editor's, so that a compiler's markers
// stand under the characters they point at. The pane's previous font is deleted.
void SetOutputFont(HFONT editorFont);

// After a double-click in the output pane: when the line under the pane's caret is a
// compiler message with a line number, puts the editor's caret there. True if it did.
bool ShowSourceOfCompilerMessage(HWND pane);

// Whether a compiler message's file name is the editor's source: its file, or with no file in
// the editor, a file the compile directive names.
bool NamesTheEditorsSource(std::u16string_view messageFile);
