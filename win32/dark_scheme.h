#pragma once
// The dark scheme of the bars and dialogs: framed dark surfaces, and white static texts over
// a dark brush that each open dialog owns, so closing one dialog never deletes a brush that
// another still paints with.

#include <windows.h>

constexpr COLORREF kDarkFill = RGB(20, 20, 20);
constexpr COLORREF kFrameColor = RGB(205, 205, 205);

// The client area filled with one colour and framed by a one-pixel pen. The bars and dialogs
// fill with kDarkFill, the main window with its background colour.
void PaintFramedSurface(HWND window, COLORREF fill);

// Makes the dialog's brush; call from WM_INITDIALOG. Returns nullptr if GDI refuses.
HBRUSH CreateDialogBrush(HWND dialog);

// The dialog's brush, or nullptr when it has none.
HBRUSH DialogBrush(HWND dialog);

// Deletes the dialog's brush; call when the dialog ends. Safe to call twice.
void DeleteDialogBrush(HWND dialog);

// The answer to WM_CTLCOLORSTATIC: white text on a transparent background over the
// dialog's brush. The result is what the dialog procedure returns.
INT_PTR ColorDialogStatic(HWND dialog, HDC dc);
