#pragma once
// Window moves and repaints shared by the commands.

#include <windows.h>

#include "app/layout.h"

// Invalidates the whole window with erasing and paints it at once.
void RepaintNow(HWND window);

// Moves and sizes a child to its place, repainting it.
void MoveToPlace(HWND window, const LayoutRect& place);

// Puts `procedure` in place of a window's own procedure and gives back the one it replaced.
WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure);
