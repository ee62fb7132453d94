#include "win32/main_layout.h"

#include <algorithm>

#include "win32/layout.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"
#include "win32/window_ops.h"

namespace {

// The frame the main window had before it could be resized; its client area is the reference.
constexpr DWORD kFixedFrameStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

RECT FrameAround(DWORD style)
{
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    return frame;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct LayoutSize {
    int width;
    int height;
};

LayoutSize CurrentLayoutSize()
{
    RECT bounds = {};
    GetWindowRect(mHwnd, &bounds);
    if (!IsZoomed(mHwnd) && SameRect(bounds, StartWindowRect()))
        return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT client = {};
    GetClientRect(mHwnd, &client);
    return {client.right, client.bottom};
}

// Moves a window only when its place changes, so an unchanged layout repaints nothing.
void MoveIfMoved(HWND window, const LayoutRect& place)
{
    if (!window)
        return;
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
    if (bounds.left == place.x && bounds.top == place.y && bounds.right - bounds.left == place.width &&
        bounds.bottom - bounds.top == place.height)
        return;
    MoveToPlace(window, place);
}

}  // namespace

bool JumpBarShown()
{
    wchar_t caption[2] = {};
    GetWindowTextW(okno_dzialan.windows[kJumpBarToggleSlot], caption, 2);
    return caption[0] != L'<';
}

RECT StartWindowRect()
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const LayoutRect place = MainWindowRect({work.left, work.top, work.right, work.bottom});
    const RECT fixed = FrameAround(kFixedFrameStyle);
    const RECT sizing = FrameAround(kMainWindowStyle);
    return {place.x - fixed.left + sizing.left, place.y - fixed.top + sizing.top,
            place.x + place.width - fixed.right + sizing.right, place.y + place.height - fixed.bottom + sizing.bottom};
}

void LayOutShell()
{
    if (!mHwnd || IsIconic(mHwnd))
        return;
    const LayoutSize size = CurrentLayoutSize();
    // The start layout is the screen's, taller than the client area by the caption; the pane
    // ends where the client area does, so its last line (a command's end line) stays in view.
    RECT client = {};
    GetClientRect(mHwnd, &client);
    // A dragged pane keeps the height it shows.
    const int paneHeight =
        outputPaneHeight > 0 ? outputPaneHeight + std::max(size.height - static_cast<int>(client.bottom), 0) : kOutputPaneHeight;
    ShellLayout layout = ShellLayoutFor(size.width, size.height, JumpBarShown(), paneHeight, gutterWidth);
    if (layout.output.y + layout.output.height > client.bottom && client.bottom > layout.output.y)
        layout.output.height = client.bottom - layout.output.y;
    MoveIfMoved(hTopBar, layout.topBar);
    for (int slot = 0; slot < okno_dzialan.count && slot < kCommandBarSlots; ++slot) {
        const LayoutRect& place = layout.commandBar[slot];
        okno_dzialan.rects[slot] = AsGroupRect(place);
        MoveIfMoved(okno_dzialan.windows[slot], place);
    }
    MoveIfMoved(hLabel, layout.caretLabel);
    MoveIfMoved(hJump, layout.jumpBar);
    MoveIfMoved(hGutter, layout.gutter);
    MoveIfMoved(hEdit, layout.editor);
    MoveIfMoved(hOutput, layout.output);
}

void MoveSplitterTo(int clientY)
{
    RECT client = {};
    GetClientRect(mHwnd, &client);
    outputPaneHeight = OutputPaneHeightFor(static_cast<int>(client.bottom) - clientY, static_cast<int>(client.bottom));
    LayOutShell();
}

void LimitMainWindowSize(MINMAXINFO* limits)
{
    const RECT start = StartWindowRect();
    limits->ptMinTrackSize = {kSmallestWindowWidth, kSmallestWindowHeight};
    if (limits->ptMaxTrackSize.x < start.right - start.left)
        limits->ptMaxTrackSize.x = start.right - start.left;
    if (limits->ptMaxTrackSize.y < start.bottom - start.top)
        limits->ptMaxTrackSize.y = start.bottom - start.top;
}
