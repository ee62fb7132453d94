#pragma once
// Window moves, repaints and text copies shared by the commands and dialogs.

#include <windows.h>

#include <optional>
#include <string>

#include "win32/layout.h"

// Invalidates the whole window with erasing and paints it at once.
void RepaintNow(HWND window);

// Moves and sizes a child to its place, repainting it.
void MoveToPlace(HWND window, const LayoutRect& place);

// Puts `procedure` in place of a window's own procedure and gives back the one it replaced.
WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure);

// Centres a top-level window on the whole screen without resizing it.
void CenterWindow(HWND window);

// A window's font; setting one does not redraw the window.
HFONT FontOf(HWND window);
void SetFont(HWND window, HFONT font);

// The whole text of a window, owned by the caller; nullopt when there is no memory for the copy.
std::optional<std::wstring> TakeWindowText(HWND window);

// The text on the clipboard, empty when it holds none; nullopt when it cannot be opened for `owner`.
std::optional<std::wstring> ClipboardText(HWND owner);
