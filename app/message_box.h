#pragma once
// Every message box of the program goes through these, so that wording, caption and icon
// are chosen in one place and showing a failure never throws.

#include <windows.h>

// A box with a fixed text.
int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// A box whose text carries a number in place of its "%lu", such as a system error code.
int ShowMessageWithCode(HWND owner, const wchar_t* format, DWORD code, const wchar_t* caption, UINT style);

// An "Error" box: what went wrong, then the file's path on a line of its own.
void ShowFileError(HWND owner, const wchar_t* what, const wchar_t* path);
