#include "jump/jump_proc.h"

#include <commctrl.h>

#include "app/dark_paint.h"

LRESULT CALLBACK JumpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintFramedSurface(window, kDarkFill);
        return 0;
    default:
        return DefSubclassProc(window, message, wParam, lParam);
    }
}
