#include "app/window_text.h"

#include <new>

std::optional<std::wstring> TakeWindowText(HWND window)
{
    try {
        const int length = GetWindowTextLengthW(window);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const int copied = GetWindowTextW(window, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(copied));
        return text;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
