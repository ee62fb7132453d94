#include "settings/settings_dialog.h"

#include <commdlg.h>

#include <string>

#include "app/common_dialogs.h"
#include "app/dark_paint.h"
#include "app/dialog_brush.h"
#include "app/init.h"
#include "app/main_window.h"
#include "app/modal_dialog.h"
#include "app/wide.h"
#include "app/window_groups.h"
#include "app/window_ops.h"
#include "resources/resource_ids.h"
#include "settings/apply_settings.h"
#include "settings/font_description.h"
#include "settings/project_file.h"
#include "settings/settings_state.h"
#include "settings/topmost_holder.h"

namespace {

// Every control but "Ok", which keeps the template's font.
constexpr int kDarkFontControls[] = {
    IDC_SETTINGS_BACKGROUND_COLOR, IDC_SETTINGS_TEXT_COLOR,   IDC_SETTINGS_FONT,
    IDC_SETTINGS_JUMP_LIST,        IDC_SETTINGS_LABEL,        IDC_SETTINGS_DIRECTIVE,
    IDC_SETTINGS_DIRECTIVE_LABEL,  IDC_SETTINGS_OPEN_PROJECT, IDC_SETTINGS_SAVE_PROJECT,
    IDC_SETTINGS_SAVE_PROJECT_AS,  IDC_SETTINGS_SET_LABEL,
};

HWND Control(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

void SetFont(HWND window, HFONT font)
{
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void SetFontOnGroup(const WManager& group, HFONT font)
{
    for (int slot = 0; slot < group.count; ++slot)
        SetFont(group.windows[slot], font);
}

// A text field's content as a terminated wide string; fields hold at most 599 units.
template <std::size_t Units>
std::wstring FieldText(const char16_t (&field)[Units])
{
    return AsWideString(std::u16string(ReadTextField(field)));
}

// The chosen entry of the jump list, or -1 when none is chosen.
int ChosenJump(HWND dialog)
{
    const LRESULT index = SendMessageW(Control(dialog, IDC_SETTINGS_JUMP_LIST), CB_GETCURSEL, 0, 0);
    return index >= 0 && index < kUsedCaptionSlots ? static_cast<int>(index) : -1;
}

void ShowDirective(HWND dialog)
{
    SetWindowTextW(Control(dialog, IDC_SETTINGS_DIRECTIVE), FieldText(ustawienia.compileDirective).c_str());
}

void ShowCaption(HWND dialog, int slot)
{
    SetWindowTextW(Control(dialog, IDC_SETTINGS_LABEL), FieldText(ustawienia.jumpCaptions[slot]).c_str());
}

// Colours and the font show at once in the editor and behind it.
void RepaintEditor()
{
    RepaintNow(mHwnd);
    RepaintNow(hEdit);
}

void ChooseBackgroundColor(HWND dialog)
{
    if (const std::optional<COLORREF> color = ChooseColorDialog(dialog)) {
        ustawienia.savedBackgroundColor = *color;
        ApplyColors();
        RepaintEditor();
    }
}

void ChooseTextColor(HWND dialog)
{
    if (const std::optional<COLORREF> color = ChooseColorDialog(dialog)) {
        ustawienia.savedTextColor = *color;
        ApplyColors();
        RepaintEditor();
    }
}

void OpenProject(HWND dialog)
{
    open_project(dialog);
}

void SaveProject(HWND dialog)
{
    save_project(dialog);
}

void SaveProjectAs(HWND dialog)
{
    save_project_as(dialog);
}

void CloseDialog(HWND dialog)
{
    StoreDirective(dialog);
    EndDialog(dialog, IDCANCEL);
}

struct DialogCommand {
    int id;
    void (*run)(HWND dialog);
};

// Enter arrives as IDOK, which is not listed, so it does nothing.
constexpr DialogCommand kDialogCommands[] = {
    {IDCANCEL, CloseDialog},
    {IDC_SETTINGS_BACKGROUND_COLOR, ChooseBackgroundColor},
    {IDC_SETTINGS_TEXT_COLOR, ChooseTextColor},
    {IDC_SETTINGS_FONT, ChooseFontForWindow},
    {IDC_SETTINGS_OPEN_PROJECT, OpenProject},
    {IDC_SETTINGS_SAVE_PROJECT, SaveProject},
    {IDC_SETTINGS_SAVE_PROJECT_AS, SaveProjectAs},
    {IDC_SETTINGS_SET_LABEL, setJumper},
};

INT_PTR OnCommand(HWND dialog, int id, int notification)
{
    if (id == IDC_SETTINGS_JUMP_LIST) {
        if (notification == CBN_SELCHANGE)
            updateJumper(dialog);
        return TRUE;
    }
    for (const DialogCommand& command : kDialogCommands) {
        if (command.id == id) {
            command.run(dialog);
            return TRUE;
        }
    }
    return FALSE;
}

INT_PTR OnInitDialog(HWND dialog)
{
    CreateDialogBrush(dialog);
    CenterWindow(dialog);
    setData(dialog);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_CTLCOLORSTATIC:
        return ColorDialogStatic(dialog, reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        PaintFramedSurface(dialog, kDarkFill);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        // However the dialog goes, its brush goes with it.
        DeleteDialogBrush(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

void OpenSettingsDialog()
{
    OpenModalDialog(IDD_SETTINGS, DialogProc);
}

void setData(HWND dialog)
{
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND list = Control(dialog, IDC_SETTINGS_JUMP_LIST);
    for (int slot = 0; slot < kUsedCaptionSlots; ++slot)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Jump " + std::to_wstring(slot + 1)).c_str()));
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    ShowCaption(dialog, 0);
    ShowDirective(dialog);
    updateDialog(dialog);
}

void updateDialog(HWND dialog)
{
    for (int id : kDarkFontControls)
        SetFont(Control(dialog, id), hOldFont);
    SetFontOnGroup(okno_dzialan, hOldFont);
    SetFontOnGroup(okno_skoku, hOldFont);
    ShowDirective(dialog);
}

void setJumper(HWND dialog)
{
    const int slot = ChosenJump(dialog);
    if (slot < 0)
        return;
    // A caption holds nine characters; the rest of longer text is cut off here.
    wchar_t text[kCaptionUnits] = {};
    GetWindowTextW(Control(dialog, IDC_SETTINGS_LABEL), text, kCaptionUnits);
    WriteTextField(ustawienia.jumpCaptions[slot], AsUtf16(text));
    SetWindowTextW(okno_skoku.windows[slot], text);
}

void updateJumper(HWND dialog)
{
    const int slot = ChosenJump(dialog);
    if (slot >= 0)
        ShowCaption(dialog, slot);
}

void StoreDirective(HWND dialog)
{
    // The field holds 599 characters; the rest of longer text is cut off here.
    wchar_t text[kDirectiveUnits] = {};
    GetWindowTextW(Control(dialog, IDC_SETTINGS_DIRECTIVE), text, kDirectiveUnits);
    WriteTextField(ustawienia.compileDirective, AsUtf16(text));
}

void ChooseFontForWindow(HWND dialog)
{
    ScopedTopmostOff topmostOff(dialog);
    lf = {};
    CHOOSEFONTW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog;
    chooser.lpLogFont = &lf;
    chooser.Flags = CF_SCREENFONTS | CF_EFFECTS;
    if (!ShowFontDialog(&chooser))
        return;

    const FontDescription earlier = ustawienia.savedFont;
    ustawienia.savedFont = FontDescriptionFromLogFont(lf);
    // A font the system cannot make leaves the editor, and the record, with the one they have.
    if (!ApplyFont())
        ustawienia.savedFont = earlier;
}

std::optional<COLORREF> ChooseColorDialog(HWND dialog)
{
    COLORREF customColors[16] = {};
    CHOOSECOLORW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog;
    chooser.rgbResult = RGB(0, 0, 0);
    chooser.lpCustColors = customColors;
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ShowColorDialog(&chooser))
        return std::nullopt;
    return chooser.rgbResult;
}
