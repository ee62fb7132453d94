#include "win32/dark_scheme.h"

#include "win32/holders.h"

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

namespace {

// The brush rides on the dialog window itself, so no global can be shared by mistake.
constexpr wchar_t kBrushProperty[] = L"SkoczekDialogBrush";

}  // namespace

HBRUSH CreateDialogBrush(HWND dialog)
{
    DeleteDialogBrush(dialog);
    HBRUSH brush = CreateSolidBrush(kDarkFill);
    if (brush && !SetPropW(dialog, kBrushProperty, brush)) {
        DeleteObject(brush);
        return nullptr;
    }
    return brush;
}

HBRUSH DialogBrush(HWND dialog)
{
    return static_cast<HBRUSH>(GetPropW(dialog, kBrushProperty));
}

void DeleteDialogBrush(HWND dialog)
{
    if (HANDLE brush = RemovePropW(dialog, kBrushProperty))
        DeleteObject(brush);
}

INT_PTR ColorDialogStatic(HWND dialog, HDC dc)
{
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(DialogBrush(dialog));
}
