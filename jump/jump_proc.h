#pragma once

#include <windows.h>

#include <string>

LRESULT CALLBACK JumpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                          DWORD_PTR referenceData);

// Scrolls the edit control to the first occurrence of `marker`, selects it and gives the control
// the keyboard focus. A marker that does not occur changes nothing.
void ScrollToText(HWND edit, const std::u16string& marker);
