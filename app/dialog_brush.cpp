#include "app/dialog_brush.h"

#include "app/dark_paint.h"

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
