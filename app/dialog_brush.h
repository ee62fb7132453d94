#pragma once
// The dark background brush of a dialog's static texts. Each open dialog owns its own
// brush, so closing one dialog never deletes a brush that another still paints with.

#include <windows.h>

// Makes the dialog's brush; call from WM_INITDIALOG. Returns nullptr if GDI refuses.
HBRUSH CreateDialogBrush(HWND dialog);

// The dialog's brush, or nullptr when it has none.
HBRUSH DialogBrush(HWND dialog);

// Deletes the dialog's brush; call when the dialog ends. Safe to call twice.
void DeleteDialogBrush(HWND dialog);

// The answer to WM_CTLCOLORSTATIC: white text on a transparent background over the
// dialog's brush. The result is what the dialog procedure returns.
INT_PTR ColorDialogStatic(HWND dialog, HDC dc);
