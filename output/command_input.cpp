#include "output/command_input.h"

bool TakeInputWatchingForEscape(const std::function<void(const MSG&)>& take)
{
    struct MessageRange {
        UINT first;
        UINT last;
    };
    constexpr MessageRange kInput[] = {
        {WM_KEYFIRST, WM_KEYLAST},
        {WM_MOUSEFIRST, WM_MOUSELAST},
        {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},
    };
    bool escape = false;
    MSG message;
    for (const MessageRange& range : kInput) {
        while (PeekMessageW(&message, nullptr, range.first, range.last, PM_REMOVE)) {
            if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
                escape = true;
            } else if (message.message == WM_KEYDOWN) {
                take(message);
                TranslateMessage(&message);
            } else if (message.message == WM_CHAR) {
                take(message);
            }
        }
    }
    return escape;
}

void RepaintWhileWaiting()
{
    // Bounded, so a window that never validates itself cannot hold the wait here.
    MSG message;
    for (int i = 0; i < 64 && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        DispatchMessageW(&message);
}
