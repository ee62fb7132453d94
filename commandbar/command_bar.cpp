#include "commandbar/command_bar.h"

#include <new>

#include "commandbar/compile_run.h"
#include "commandbar/count_field.h"
#include "editor/indent_commands.h"
#include "files/text_file.h"
#include "output/output_pane.h"
#include "output/run_command.h"
#include "resources/resource_ids.h"
#include "search/search_replace_dialog.h"
#include "settings/settings_dialog.h"
#include "text/wide.h"
#include "win32/dark_scheme.h"
#include "win32/layout.h"
#include "win32/main_layout.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"
#include "win32/window_ops.h"

namespace {

WNDPROC OldTopBarProc = nullptr;

HWND CountField()
{
    return okno_dzialan.windows[kCountFieldSlot];
}

void ShowCount(int value)
{
    try {
        SetWindowTextW(CountField(), AsWide(FormatCount(value)));
    } catch (const std::bad_alloc&) {
        // The field keeps the count it shows.
    }
}

// A clicked button keeps the keyboard otherwise, and the next Space would press it again.
void BackToEditor()
{
    SetFocus(hEdit);
}

void StepCountUp(HWND)
{
    if (const auto next = CountAfterPlus(getIntegerFromWindow(CountField())))
        ShowCount(*next);
    BackToEditor();
}

void StepCountDown(HWND)
{
    if (const auto next = CountAfterMinus(getIntegerFromWindow(CountField())))
        ShowCount(*next);
    BackToEditor();
}

void ToggleJumpBar(HWND)
{
    const bool hide = JumpBarShown();
    SetWindowTextW(okno_dzialan.windows[kJumpBarToggleSlot], hide ? L"<" : L">");
    ShowWindow(hJump, hide ? SW_HIDE : SW_SHOW);
    LayOutShell();

    RepaintNow(hEdit);
    RepaintNow(hOutput);
    RepaintNow(mHwnd);
    SetFocus(hEdit);
}

void OpenTextFile(HWND bar)
{
    OpenFileAndLoadToEdit(hEdit, bar);
}

void SaveTextFile(HWND)
{
    SaveEditorText(false);
}

void SaveTextFileAs(HWND)
{
    SaveEditorText(true);
}

void IndentSelection(HWND)
{
    addLineBreaks(hEdit, getIntegerFromWindow(CountField()));
    BackToEditor();
}

void OutdentSelection(HWND)
{
    removeExtraSpaces(hEdit, getIntegerFromWindow(CountField()));
    BackToEditor();
}

void OpenSearch(HWND)
{
    OpenSearchReplaceDialog();
}

void OpenSettings(HWND)
{
    OpenSettingsDialog();
    BackToEditor();
}

// The caret label: white on the bar's dark fill.
LRESULT ColorLabel(HDC dc)
{
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, kDarkFill);
    SetDCBrushColor(dc, kDarkFill);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

struct BarCommand {
    int id;
    void (*run)(HWND bar);
};

// Ids that are not listed here go on to the bar's default handling.
constexpr BarCommand kBarCommands[] = {
    {IDC_OPEN, OpenTextFile},
    {IDC_SAVE, SaveTextFile},
    {IDC_SAVE_AS, SaveTextFileAs},
    {IDC_COMPILE, CompileProgram},
    {IDC_RUN, RunProgram},
    {IDC_JUMP_BAR_TOGGLE, ToggleJumpBar},
    {IDC_COUNT_DOWN, StepCountDown},
    {IDC_COUNT_UP, StepCountUp},
    {IDC_OUTDENT, OutdentSelection},
    {IDC_INDENT, IndentSelection},
    {IDC_SEARCH, OpenSearch},
    {IDC_OPTIONS, OpenSettings},
};

// True when the command was one of the bar's own.
bool RunCommand(HWND bar, int id)
{
    for (const BarCommand& command : kBarCommands) {
        if (command.id == id) {
            command.run(bar);
            return true;
        }
    }
    return false;
}

}  // namespace

int getIntegerFromWindow(HWND window)
{
    wchar_t text[256] = {};
    const int length = GetWindowTextW(window, text, 256);
    return ParseCount(AsUtf16View(text, static_cast<std::size_t>(length)));
}

LRESULT CALLBACK TopBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // the paint covers the whole bar
    case WM_PAINT:
        PaintFramedSurface(window, kDarkFill);
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == hLabel)
            return ColorLabel(reinterpret_cast<HDC>(wParam));
        return CallWindowProcW(OldTopBarProc, window, message, wParam, lParam);
    case WM_COMMAND:
        if (CommandIsRunning())
            return 0;  // one command at a time
        if (RunCommand(window, LOWORD(wParam)))
            return 0;
        return CallWindowProcW(OldTopBarProc, window, message, wParam, lParam);
    default:
        return CallWindowProcW(OldTopBarProc, window, message, wParam, lParam);
    }
}

void InstallCommandBar(HWND bar)
{
    OldTopBarProc = ReplaceWindowProc(bar, TopBar);
}
