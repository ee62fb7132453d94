#include "win32/window_ops.h"

#include <climits>
#include <new>

void RepaintNow(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void MoveToPlace(HWND window, const LayoutRect& place)
{
    MoveWindow(window, place.x, place.y, place.width, place.height, TRUE);
}

WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure)
{
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void CenterWindow(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    const ScreenPoint origin = CenteredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                              bounds.right - bounds.left, bounds.bottom - bounds.top);
    SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

std::optional<std::wstring> TakeWindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    // The copy's size, terminator included, is handed back to the system as an int.
    if (length < 0 || length == INT_MAX)
        return std::nullopt;
    try {
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const int copied = GetWindowTextW(window, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        return text;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

HFONT FontOf(HWND window)
{
    return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

void SetFont(HWND window, HFONT font)
{
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::optional<std::wstring> ClipboardText(HWND owner)
{
    if (!OpenClipboard(owner))
        return std::nullopt;
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}
