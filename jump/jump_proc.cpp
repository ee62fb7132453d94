#include "jump/jump_proc.h"

#include <optional>

#include "app/dark_paint.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/wide.h"
#include "app/window_text.h"
#include "jump/marker.h"
#include "resources/resource_ids.h"

namespace {

bool IsJumpButton(int id)
{
    return id >= IDC_FIRST_JUMP && id <= IDC_LAST_JUMP;
}

}  // namespace

void ScrollToText(HWND edit, const std::u16string& marker)
{
    if (GetWindowTextLengthW(edit) == 0) {
        ShowMessage(nullptr, L"No text in the edit control.", L"Error", MB_OK);
        return;
    }
    const std::optional<std::wstring> text = TakeWindowText(edit);
    if (!text) {
        ShowMessage(nullptr, L"Memory allocation failed.", L"Error", MB_OK);
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

WNDPROC OldJumpProc = nullptr;

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
