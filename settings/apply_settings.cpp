#include "settings/apply_settings.h"

#include <windows.h>

#include "output/output_pane.h"
#include "settings/font_description.h"
#include "text/wide.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"
#include "win32/window_ops.h"

bool ApplyFont()
{
    const LOGFONTW description = LogFontFromDescription(ustawienia.savedFont);
    HFONT font = CreateFontIndirectW(&description);
    if (!font)
        return false;

    // The old font is deleted only once no window draws with it any more.
    HFONT old = hNormalFont;
    hNormalFont = font;
    SetFont(hEdit, font);
    SetOutputFont(font);
    InvalidateRect(hEdit, nullptr, TRUE);
    InvalidateRect(hOutput, nullptr, TRUE);
    for (int slot = 0; slot < okno_dzialan.count; ++slot) {
        if (old && FontOf(okno_dzialan.windows[slot]) == old)
            SetFont(okno_dzialan.windows[slot], font);
    }
    if (old)
        DeleteObject(old);
    return true;
}

void ApplyColors()
{
    textColor = ustawienia.savedTextColor;
    backgroundColor = ustawienia.savedBackgroundColor;
}

void CopyJumpCaption(int slot, wchar_t (&text)[kCaptionUnits])
{
    // The field holds at most nine units and a terminator, so a copy fits on the stack.
    const std::u16string_view caption = ReadTextField(ustawienia.jumpCaptions[slot]);
    text[caption.copy(AsUtf16(text), kCaptionUnits - 1)] = L'\0';
}

void ApplyJumpCaptions()
{
    for (int slot = 0; slot < okno_skoku.count && slot < kUsedCaptionSlots; ++slot) {
        wchar_t text[kCaptionUnits];
        CopyJumpCaption(slot, text);
        SetWindowTextW(okno_skoku.windows[slot], text);
    }
}

void ApplySettings()
{
    ApplyFont();
    ApplyColors();
    ApplyJumpCaptions();
    RepaintNow(mHwnd);
    RepaintNow(hEdit);
}
