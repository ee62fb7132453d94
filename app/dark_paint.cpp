#include "app/dark_paint.h"

#include "app/gdi_holders.h"

void PaintFramedSurface(HWND window, COLORREF fill)
{
    ScopedPaint paint(window);
    RECT client;
    GetClientRect(window, &client);

    ScopedGdiObject brush(CreateSolidBrush(fill));
    ScopedGdiObject pen(CreatePen(PS_SOLID, 1, kFrameColor));
    FillRect(paint.dc(), &client, static_cast<HBRUSH>(brush.get()));

    ScopedSelectObject selectPen(paint.dc(), pen.get());
    ScopedSelectObject selectBrush(paint.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(paint.dc(), client.left, client.top, client.right, client.bottom);
}
