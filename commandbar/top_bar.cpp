#include "commandbar/top_bar.h"

#include <commctrl.h>

#include "app/dark_paint.h"
#include "app/init.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/wide.h"
#include "app/window_groups.h"
#include "app/window_ops.h"
#include "commandbar/count_field.h"
#include "files/text_file.h"
#include "resources/resource_ids.h"

namespace {

HWND CountField()
{
    return okno_dzialan.windows[kCountFieldSlot];
}

void ShowCount(int value)
{
    SetWindowTextW(CountField(), AsWide(FormatCount(value)));
}

void StepCountUp()
{
    if (const auto next = CountAfterPlus(getIntegerFromWindow(CountField())))
        ShowCount(*next);
}

void StepCountDown()
{
    if (const auto next = CountAfterMinus(getIntegerFromWindow(CountField())))
        ShowCount(*next);
}

// The toggle's caption is the only record of whether the jump bar is shown.
void ToggleJumpBar()
{
    HWND toggle = okno_dzialan.windows[kJumpBarToggleSlot];
    wchar_t caption[2] = {};
    GetWindowTextW(toggle, caption, 2);
    const bool hide = caption[0] == L'>';

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetWindowTextW(toggle, hide ? L"<" : L">");
    ShowWindow(hJump, hide ? SW_HIDE : SW_SHOW);
    MoveToPlace(hEdit, EditorRect(screenWidth, screenHeight, !hide));
    MoveToPlace(hOutput, OutputRect(screenWidth, screenHeight, !hide));

    RepaintNow(hEdit);
    RepaintNow(hOutput);
    RepaintNow(mHwnd);
    SetFocus(hEdit);
}

// True when the command was one of the bar's own.
bool RunCommand(HWND bar, int id)
{
    switch (id) {
    case IDC_OPEN:
        OpenFileAndLoadToEdit(hEdit, bar);
        return true;
    case IDC_SAVE:
        SaveEditorText(false);
        return true;
    case IDC_SAVE_AS:
        SaveEditorText(true);
        return true;
    case IDC_JUMP_BAR_TOGGLE:
        ToggleJumpBar();
        return true;
    case IDC_COUNT_DOWN:
        StepCountDown();
        return true;
    case IDC_COUNT_UP:
        StepCountUp();
        return true;
    default:
        return false;
    }
}

}  // namespace

int getIntegerFromWindow(HWND window)
{
    wchar_t text[256] = {};
    const int length = GetWindowTextW(window, text, 256);
    return ParseCount(AsUtf16View(text, static_cast<std::size_t>(length)));
}

LRESULT CALLBACK TopBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // the paint covers the whole bar
    case WM_PAINT:
        PaintFramedSurface(window, kDarkFill);
        return 0;
    case WM_COMMAND:
        if (RunCommand(window, LOWORD(wParam)))
            return 0;
        return DefSubclassProc(window, message, wParam, lParam);
    default:
        return DefSubclassProc(window, message, wParam, lParam);
    }
}
