#include "app/window_text.h"

#include <climits>
#include <new>

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
