#pragma once

#include <windows.h>

constexpr COLORREF kDarkFill = RGB(20, 20, 20);
constexpr COLORREF kFrameColor = RGB(205, 205, 205);

// The dark scheme's paint: the client area filled with one colour and framed by a
// one-pixel pen. The bars and dialogs fill with kDarkFill, the main window with its
// background colour.
void PaintFramedSurface(HWND window, COLORREF fill);
