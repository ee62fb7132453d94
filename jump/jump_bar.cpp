#include "jump/jump_bar.h"

#include <optional>

#include "jump/marker.h"
#include "resources/resource_ids.h"
#include "text/wide.h"
#include "win32/dark_scheme.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

WNDPROC OldJumpProc = nullptr;

bool IsJumpButton(int id)
{
    return id >= IDC_FIRST_JUMP && id <= IDC_LAST_JUMP;
}

}  // namespace

void ScrollToText(HWND edit, const std::u16string& marker)
{
    if (GetWindowTextLengthW(edit) == 0) {
        ReportMessage(nullptr, IDS_NO_TEXT_TO_JUMP);
        return;
    }
    const std::optional<std::wstring> text = TakeWindowText(edit);
    if (!text) {
        ReportMessage(nullptr, IDM_JUMP_OUT_OF_MEMORY);
        return;
    }
    const std::optional<std::size_t> found = FindMarker(AsUtf16View(*text), marker);
    if (!found)
        return;

    const auto at = static_cast<WPARAM>(*found);
    const LRESULT line = SendMessageW(edit, EM_LINEFROMCHAR, at, 0);
    SendMessageW(edit, EM_LINESCROLL, 0, line);
    SendMessageW(edit, EM_SETSEL, at, static_cast<LPARAM>(at));
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    SendMessageW(edit, EM_SETSEL, at, static_cast<LPARAM>(at + marker.size()));
    SetFocus(edit);
}

LRESULT CALLBACK JumpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintFramedSurface(window, kDarkFill);
        return 0;
    case WM_COMMAND:
        // The button's id, not its caption, says which marker it seeks.
        if (IsJumpButton(LOWORD(wParam))) {
            ScrollToText(hEdit, JumpMarker(LOWORD(wParam) - IDC_FIRST_JUMP));
            return 0;
        }
        return CallWindowProcW(OldJumpProc, window, message, wParam, lParam);
    default:
        return CallWindowProcW(OldJumpProc, window, message, wParam, lParam);
    }
}

void InstallJumpBar(HWND bar)
{
    OldJumpProc = ReplaceWindowProc(bar, JumpProc);
}
