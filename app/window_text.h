#pragma once
// Copies of an edit control's text, owned by the routine that takes them.

#include <windows.h>

#include <optional>
#include <string>

// The whole text of a window; nullopt when there is no memory for the copy.
std::optional<std::wstring> TakeWindowText(HWND window);
