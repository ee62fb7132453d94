#include "app/window_ops.h"

void RepaintNow(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void MoveToPlace(HWND window, const LayoutRect& place)
{
    MoveWindow(window, place.x, place.y, place.width, place.height, TRUE);
}

WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure)
{
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}
