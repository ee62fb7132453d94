#include "settings/settings_dialog.h"

#include <commdlg.h>

#include <string>

#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "settings/apply_settings.h"
#include "settings/font_description.h"
#include "settings/project_file.h"
#include "settings/topmost_holder.h"
#include "text/wide.h"
#include "win32/dark_scheme.h"
#include "win32/dialogs.h"
#include "win32/holders.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"
#include "win32/window_ops.h"

namespace {

constexpr wchar_t kProjectFilter[] = L"All Files\0*.*\0Binary project\0*.bin\0All\0*.lumo\0";

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
    if (const std::optional<COLORREF> color = ChooseColorDialog(dialog, backgroundColor)) {
        ustawienia.savedBackgroundColor = *color;
        ApplyColors();
        RepaintEditor();
    }
}

void ChooseTextColor(HWND dialog)
{
    if (const std::optional<COLORREF> color = ChooseColorDialog(dialog, textColor)) {
        ustawienia.savedTextColor = *color;
        ApplyColors();
        RepaintEditor();
    }
}

// Runs a project file dialog; true when the user chose a file, whose path is then in `path`.
bool AskForProjectFile(HWND dialog, wchar_t (&path)[kProjectNameCapacity], bool save, const wchar_t* extension)
{
    path[0] = L'\0';
    OPENFILENAMEW record = FileDialogRecord({
        .owner = dialog,
        .buffer = path,
        .capacity = kProjectNameCapacity,
        .filter = kProjectFilter,
        .flags = save ? DWORD{OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST} : DWORD{OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST},
        .defaultExtension = extension,
        .title = save ? nullptr : L"Select a File to Open",
    });
    ScopedTopmostOff topmostOff(dialog);
    return save ? ShowSaveFileDialog(&record) : ShowOpenFileDialog(&record);
}

void BecomeProjectPath(const wchar_t* path)
{
    lstrcpynW(project_name, path, kProjectNameCapacity);
}

// The old file stays whole unless every byte of the new one is on disk.
void WriteProject(HWND dialog)
{
    if (!SaveSettingsFile(project_name, ustawienia))
        ReportMessage(dialog, IDS_PROJECT_NOT_SAVED, MessageDetail::Path(project_name));
}

// Puts a loaded record on the screen: editor font and colours, jump captions, the dialog's
// fields and the directive in the output pane.
void ShowLoadedProject(HWND dialog)
{
    SetWindowTextW(Control(dialog, IDC_SETTINGS_LABEL), FieldText(ustawienia.jumpCaptions[0]).c_str());
    SendMessageW(Control(dialog, IDC_SETTINGS_JUMP_LIST), CB_SETCURSEL, 0, 0);
    SetOutputText(FieldText(ustawienia.compileDirective));
    InvalidateRect(hOutput, nullptr, TRUE);
    updateDialog(dialog);
    ApplySettings();
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
    // The chooser starts from the editor's font as it is drawn: under the face the system
    // actually uses, which the chooser's list holds even where the asked-for face is missing.
    lf = LogFontFromDescription(ustawienia.savedFont);
    if (hNormalFont)
        GetObjectW(hNormalFont, sizeof lf, &lf);
    if (ScopedMemoryDC dc; dc) {
        ScopedSelectObject font(dc, hNormalFont);
        GetTextFaceW(dc, LF_FACESIZE, lf.lfFaceName);
    }
    CHOOSEFONTW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog;
    chooser.lpLogFont = &lf;
    chooser.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    if (!ShowFontDialog(&chooser))
        return;

    const FontDescription earlier = ustawienia.savedFont;
    ustawienia.savedFont = FontDescriptionFromLogFont(lf);
    // A font the system cannot make leaves the editor, and the record, with the one they have.
    if (!ApplyFont())
        ustawienia.savedFont = earlier;
}

std::optional<COLORREF> ChooseColorDialog(HWND dialog, COLORREF current)
{
    COLORREF customColors[16] = {};
    CHOOSECOLORW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog;
    chooser.rgbResult = current;
    chooser.lpCustColors = customColors;
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ShowColorDialog(&chooser))
        return std::nullopt;
    return chooser.rgbResult;
}

void save_project(HWND dialog)
{
    StoreDirective(dialog);
    if (project_name[0] == L'\0') {
        wchar_t chosen[kProjectNameCapacity];
        if (!AskForProjectFile(dialog, chosen, true, L"lumo"))
            return;
        BecomeProjectPath(chosen);
    }
    WriteProject(dialog);
}

int save_project_as(HWND dialog)
{
    StoreDirective(dialog);
    wchar_t chosen[kProjectNameCapacity];
    if (!AskForProjectFile(dialog, chosen, true, L"bin")) {
        // The next Save project asks for a name again.
        project_name[0] = L'\0';
        return 0;
    }
    BecomeProjectPath(chosen);
    WriteProject(dialog);
    return 0;
}

int open_project(HWND dialog)
{
    wchar_t chosen[kProjectNameCapacity];
    if (!AskForProjectFile(dialog, chosen, false, nullptr)) {
        ReportMessage(dialog, IDS_NO_PROJECT_CHOSEN);
        return 0;
    }

    // A file that does not load leaves the record, the dialog and the project path as they were,
    // so a later Save project cannot overwrite it.
    switch (LoadSettingsFile(chosen, ustawienia)) {
    case ProjectRead::Read:
        break;
    case ProjectRead::NotOpened:
        ReportMessage(dialog, IDS_PROJECT_NOT_OPENED);
        return -1;
    case ProjectRead::TooShort:
        ReportMessage(dialog, IDS_PROJECT_NOT_READ);
        return -1;
    }
    BecomeProjectPath(chosen);
    ShowLoadedProject(dialog);
    return 1;
}
