#include "win32/layout.h"

namespace {
constexpr int kRightGroupSize = 7;
constexpr int kLeftPitch = 72;
constexpr int kRightPitch = 52;
constexpr int kMargin = 5;
constexpr int kJumpBarWidth = 99;
constexpr int kJumpBarSpan = 101;  // bar width plus the gap to the screen edge
constexpr int kEditorWidthBeside = 102;
}  // namespace

LayoutRect CommandBarSlotRect(int slot, int count, int screenWidth)
{
    const int firstRight = count - kRightGroupSize;
    if (slot < firstRight)
        return {kLeftPitch * slot + kMargin, kMargin, 67, 25};

    const int k = slot - firstRight + 1;  // 1 is the rightmost control
    if (slot == count - 1) {
        // The last slot (Search) is wider and stands apart from the rest of the group.
        return {screenWidth - (kRightPitch * k + 55), kMargin, 77, 25};
    }
    return {screenWidth - (kRightPitch * k + kMargin), kMargin, 47, 25};
}

LayoutRect JumpButtonRect(int slot)
{
    return {2, 22 * slot + kMargin, 87, 20};
}

LayoutRect MainWindowRect(const WorkArea& workArea)
{
    return {-3, workArea.top, workArea.right - workArea.left + 20, workArea.bottom - workArea.top};
}

LayoutRect EditorCreationRect(int screenWidth, int screenHeight)
{
    return {1, 40, screenWidth - 90, screenHeight - 210};
}

LayoutRect TopBarRect(int screenWidth)
{
    return {0, 0, screenWidth, kTopBarHeight};
}

LayoutRect JumpBarRect(int screenWidth, int screenHeight)
{
    return {screenWidth - kJumpBarSpan, kTopBarHeight, kJumpBarWidth, screenHeight - 98};
}

LayoutRect OutputCreationRect(int screenWidth, int screenHeight)
{
    return {1, screenHeight - 201, screenWidth - 90, 100};
}

int OutputPaneHeightFor(int requested, int height)
{
    const int tallest = height - kTopBarHeight - kSmallestEditorHeight;
    if (requested > tallest)
        requested = tallest;
    return requested < kSmallestOutputPaneHeight ? kSmallestOutputPaneHeight : requested;
}

LayoutRect EditorRect(int screenWidth, int screenHeight, bool jumpBarShown, int paneHeight)
{
    const int width = jumpBarShown ? screenWidth - kEditorWidthBeside : screenWidth - 2;
    return {1, kTopBarHeight, width, screenHeight - kTopBarHeight - paneHeight};
}

LayoutRect OutputRect(int screenWidth, int screenHeight, bool jumpBarShown, int paneHeight)
{
    const int width = jumpBarShown ? screenWidth - kEditorWidthBeside : screenWidth - 2;
    return {1, screenHeight - paneHeight, width, paneHeight};
}

LayoutRect CaretLabelRect(int width)
{
    const LayoutRect options = CommandBarSlotRect(kOptionsSlot, kCommandBarSlots, width);
    const LayoutRect search = CommandBarSlotRect(kSearchSlot, kCommandBarSlots, width);
    const int x = options.x + options.width + kMargin;
    const int room = search.x - kMargin - x;
    return {x, kMargin, room > 0 ? room : 0, 25};
}

ShellLayout ShellLayoutFor(int width, int height, bool jumpBarShown, int paneHeight, int gutterWidth)
{
    ShellLayout layout = {};
    paneHeight = OutputPaneHeightFor(paneHeight, height);
    layout.topBar = TopBarRect(width);
    layout.editor = EditorRect(width, height, jumpBarShown, paneHeight);
    layout.output = OutputRect(width, height, jumpBarShown, paneHeight);
    layout.jumpBar = JumpBarRect(width, height);
    layout.caretLabel = CaretLabelRect(width);
    for (int slot = 0; slot < kCommandBarSlots; ++slot)
        layout.commandBar[slot] = CommandBarSlotRect(slot, kCommandBarSlots, width);
    GiveGutterItsWidth(layout, gutterWidth);
    return layout;
}

void GiveGutterItsWidth(ShellLayout& layout, int gutterWidth)
{
    LayoutRect& editor = layout.editor;
    const int width = gutterWidth < 0 ? 0 : gutterWidth < editor.width / 2 ? gutterWidth : editor.width / 2;
    layout.gutter = {editor.x, editor.y, width, editor.height};
    editor.x += width;
    editor.width -= width;
}

ScreenPoint CenteredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight)
{
    // C++ division truncates toward zero, which is what a window larger than the screen needs.
    return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2};
}
