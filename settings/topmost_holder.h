#pragma once
// The settings dialog keeps itself above other windows. While it shows a common dialog of its
// own (font, project files) it gives up that place, and takes it back on every way out.

#include <windows.h>

class ScopedTopmostOff {
public:
    explicit ScopedTopmostOff(HWND dialog) : dialog_(dialog) { PlaceAbove(HWND_NOTOPMOST); }
    ~ScopedTopmostOff() { PlaceAbove(HWND_TOPMOST); }
    ScopedTopmostOff(const ScopedTopmostOff&) = delete;
    ScopedTopmostOff& operator=(const ScopedTopmostOff&) = delete;

private:
    // The system ignores WS_EX_TOPMOST written into the extended style; only a change of place
    // in the Z order clears or sets it.
    void PlaceAbove(HWND where) const
    {
        SetWindowPos(dialog_, where, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    HWND dialog_;
};
