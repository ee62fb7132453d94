#pragma once
// The command bar's "--->" and "<---": indent or outdent the lines of the editor's selection
// by a count of spaces. The result replaces the selection and stays selected, so a second
// press shifts it once more.

#include <windows.h>

void addLineBreaks(HWND edit, int spaces);
void removeExtraSpaces(HWND edit, int spaces);
