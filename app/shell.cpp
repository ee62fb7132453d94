#include "app/shell.h"

#include <windows.h>
#include <commctrl.h>

#include "commandbar/command_bar.h"
#include "editor/editor_keys.h"
#include "files/text_file.h"
#include "jump/jump_bar.h"
#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "settings/apply_settings.h"
#include "win32/layout.h"
#include "win32/main_layout.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"
#include "win32/window_ops.h"

namespace {

constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_CENTER;
// Read-only: the keyboard changes nothing of the pane, and a running program's input line is
// the command's own.
constexpr DWORD kPaneStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
// BS_DEFPUSHBUTTON for the buttons and ES_CENTER for the count field share the same bit.
constexpr DWORD kGroupControlStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | 0x1;

constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS;

struct CommandBarControl {
    int id;
    int slot;
    bool isButton;  // the one other control is the count field, an EDIT
    const wchar_t* caption;
    const wchar_t* tooltip;
};

// In creation order, which is also the tab order.
constexpr CommandBarControl kCommandBarControls[] = {
    {IDC_OPEN, kOpenSlot, true, L"Open", L"Otwórz plik tekstowy (Ctrl+O)"},
    {IDC_SAVE, kSaveSlot, true, L"Save", L"Zapisz plik"},
    {IDC_SAVE_AS, kSaveAsSlot, true, L"Save as", L"Zapisz pod nową nazwą (Ctrl+S)"},
    {IDC_COMPILE, kCompileSlot, true, L"Compile", L"Kompiluj poleceniem z ustawień"},
    {IDC_RUN, kRunSlot, true, L"Run", L"Uruchom skompilowany program"},
    {IDC_OPTIONS, kOptionsSlot, true, L"Options", L"Ustawienia i projekty"},
    {IDC_OUTDENT, kOutdentSlot, true, L"<---", L"Usuń z zaznaczonych wierszy tyle spacji, ile w polu liczby"},
    {IDC_INDENT, kIndentSlot, true, L"--->", L"Dodaj do zaznaczonych wierszy tyle spacji, ile w polu liczby"},
    {IDC_JUMP_BAR_TOGGLE, kJumpBarToggleSlot, true, L">", L"Pokaż lub ukryj pasek skoków"},
    {IDC_COUNT_FIELD, kCountFieldSlot, false, L"1", L"Liczba spacji wcięcia"},
    {IDC_COUNT_UP, kCountUpSlot, true, L"+", L"Więcej spacji wcięcia"},
    {IDC_COUNT_DOWN, kCountDownSlot, true, L"-", L"Mniej spacji wcięcia"},
    {IDC_SEARCH, kSearchSlot, true, L"Search", L"Szukaj i zamień (Ctrl+F)"},
};

HMENU AsMenu(int id)
{
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

HWND CreateChild(const wchar_t* className, const wchar_t* text, DWORD style, const LayoutRect& place, HWND parent,
                 int id)
{
    return CreateWindowExW(0, className, text, style, place.x, place.y, place.width, place.height, parent,
                           AsMenu(id), mhI, nullptr);
}

// The class's procedure, shared by every button.
WNDPROC buttonClassProc = nullptr;

// The buttons have no frame, yet under Wine the first paint of each one's empty frame takes a
// device context of its own; over the bars' 31 buttons that came to about 6 % of start-up.
LRESULT CALLBACK FramelessButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCPAINT)
        return 0;
    return CallWindowProcW(buttonClassProc, window, message, wParam, lParam);
}

HWND CreateButton(const wchar_t* caption, const LayoutRect& place, HWND parent, int id)
{
    HWND button = CreateChild(L"BUTTON", caption, kGroupControlStyle, place, parent, id);
    if (button)
        buttonClassProc = ReplaceWindowProc(button, FramelessButton);
    return button;
}

void PlaceAndShowGroup(WManager& group)
{
    ResetujPozycjeOkien(&group);
    group.visible = 1;
    group.showAll(&group);
}

// Each control is made at its layout rectangle, so placing the group moves nothing.
void BuildCommandBarGroup(int screenWidth)
{
    okno_dzialan.count = kCommandBarSlots;
    for (int slot = 0; slot < kCommandBarSlots; ++slot)
        okno_dzialan.rects[slot] = AsGroupRect(CommandBarSlotRect(slot, kCommandBarSlots, screenWidth));
    for (const CommandBarControl& control : kCommandBarControls) {
        const LayoutRect place = GroupPlace(okno_dzialan, control.slot);
        okno_dzialan.windows[control.slot] =
            control.isButton ? CreateButton(control.caption, place, hTopBar, control.id)
                             : CreateChild(L"EDIT", control.caption, kGroupControlStyle, place, hTopBar, control.id);
    }
    AttachGroupOperations(&okno_dzialan);
}

// The buttons are made with their captions from the settings record, which already holds its
// start values; setting each caption afterwards cost a round of window updates.
void BuildJumpBarGroup()
{
    okno_skoku.count = kJumpButtons;
    for (int slot = 0; slot < kJumpButtons; ++slot) {
        okno_skoku.rects[slot] = AsGroupRect(JumpButtonRect(slot));
        wchar_t caption[kCaptionUnits];
        CopyJumpCaption(slot, caption);
        okno_skoku.windows[slot] = CreateButton(caption, GroupPlace(okno_skoku, slot), hJump, IDC_FIRST_JUMP + slot);
    }
    AttachGroupOperations(&okno_skoku);
}

// The tooltip window is made hidden and shows itself when the pointer rests on a control.
void AttachCommandBarTooltips()
{
    hTooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mHwnd, nullptr, mhI,
                                nullptr);
    if (!hTooltips)
        return;
    for (const CommandBarControl& control : kCommandBarControls) {
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hTopBar;
        tool.uId = reinterpret_cast<UINT_PTR>(okno_dzialan.windows[control.slot]);
        tool.lpszText = const_cast<wchar_t*>(control.tooltip);
        SendMessageW(hTooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace

void init()
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

    current_file[0] = L'\0';
    hTopBar = CreateChild(L"STATIC", L"", kBarStyle, TopBarRect(screenWidth), mHwnd, IDC_COMMAND_BAR);
    hJump = CreateChild(L"STATIC", L"", kBarStyle, JumpBarRect(screenWidth, screenHeight), mHwnd, IDC_JUMP_BAR);
    hOutput = CreateChild(L"EDIT", L"", kPaneStyle, OutputCreationRect(screenWidth, screenHeight), mHwnd,
                          IDC_OUTPUT_PANE);
    SetOutputFont(hNormalFont);
    // Program output can be far longer than the control's default 32K limit.
    SendMessageW(hOutput, EM_SETLIMITTEXT, 0, 0);

    ShowWindow(hEdit, SW_SHOW);
    ShowWindow(hTopBar, SW_SHOWNORMAL);
    ShowWindow(hJump, SW_SHOWNORMAL);

    // Nothing later in start-up changes the record; the jump buttons take their captions from it.
    ustawienia = StartSettings();

    BuildCommandBarGroup(screenWidth);
    SetFontOnGroup(okno_dzialan, hNormalFont);
    PlaceAndShowGroup(okno_dzialan);

    // The main window stays hidden while it is built, so nothing is drawn before it has its
    // place, caption and font; the entry point shows it once, at the rectangle it was made with.
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SetWindowTextW(hEdit, L"");
    project_name[0] = L'\0';

    BuildJumpBarGroup();
    SetFontOnGroup(okno_skoku, hOldFont);
    PlaceAndShowGroup(okno_skoku);

    SetWindowTextW(okno_dzialan.windows[kJumpBarToggleSlot], L">");
    ShowWindow(hJump, SW_SHOW);

    MoveToPlace(hEdit, EditorRect(screenWidth, screenHeight, true));
    MoveToPlace(hOutput, OutputRect(screenWidth, screenHeight, true));

    hLabel = CreateChild(L"STATIC", L"", kLabelStyle, CaretLabelRect(screenWidth), hTopBar, IDC_CARET_LABEL);
    SendMessageW(hLabel, WM_SETFONT, reinterpret_cast<WPARAM>(hOldFont), 0);
    ShowCaretPlaceNow(hEdit);
    AttachCommandBarTooltips();
    // The window may already stand elsewhere than start-up put it (a test, a second screen).
    LayOutShell();

    // Installed once the bars hold their controls, so the notices the children send while they
    // are made go straight to the bars' own procedures. Like the editor, the bars and the pane
    // replace their controls' procedures rather than subclass them: under Wine the subclass
    // machinery looks itself up in the window's properties, a call to the server, twice for
    // every message, and each of the 31 buttons sends its bar five messages as it first paints.
    InstallCommandBar(hTopBar);
    InstallOutputPane(hOutput);
    InstallJumpBar(hJump);
}
