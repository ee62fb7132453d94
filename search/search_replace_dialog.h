#pragma once
// The search/replace dialog: "Szukaj" finds the next occurrence in the editor with the wrap,
// "Replace" replaces every occurrence at once.

#include <windows.h>

// Opens the dialog modally, without an owner, so the editor stays usable while it is open.
void OpenSearchReplaceDialog();

INT_PTR CALLBACK SearchReplaceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog's set-up when it opens: topmost, and the bars' font on every control.
void updateDialog2(HWND dialog);

// Selects the next occurrence of `text` after the start of the edit control's selection,
// wrapping to the start, and gives the control the focus, found or not.
void findTextInEdit(HWND edit, const wchar_t* text);

// Replaces every occurrence of `from` by `to` in the edit control's text, "\n" standing for a
// line break in both. An empty `from` changes nothing.
void replaceExactTextInEdit(HWND edit, const wchar_t* from, const wchar_t* to);
