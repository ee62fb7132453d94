#include "app/dark_paint.h"

#include "app/gdi_holders.h"

void PaintFramedSurface(HWND window, COLORREF fill)
{
    ScopedPaint paint(window);
    RECT client;
    GetClientRect(window, &client);

    ScopedBrush brush(CreateSolidBrush(fill));
    ScopedPen pen(CreatePen(PS_SOLID, 1, kFrameColor));
    FillRect(paint.dc(), &client, brush);

    ScopedSelectObject selectPen(paint.dc(), pen);
    ScopedSelectObject selectBrush(paint.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(paint.dc(), client.left, client.top, client.right, client.bottom);
}
