#include "win32/layout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

namespace {

TEST(CommandBarLayout, SlotsOnAFullHdScreen)
{
    struct Case {
        int slot;
        LayoutRect expected;
    };
    const Case cases[] = {
        {0, {5, 5, 67, 25}},     {1, {77, 5, 67, 25}},    {2, {149, 5, 67, 25}},   {3, {221, 5, 67, 25}},
        {4, {293, 5, 67, 25}},   {5, {365, 5, 67, 25}},   {6, {1863, 5, 47, 25}},  {7, {1811, 5, 47, 25}},
        {8, {1759, 5, 47, 25}},  {9, {1707, 5, 47, 25}},  {10, {1655, 5, 47, 25}}, {11, {1603, 5, 47, 25}},
        {12, {1501, 5, 77, 25}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandBarSlotRect(c.slot, kCommandBarSlots, 1920), c.expected) << "slot " << c.slot;
}

TEST(CommandBarLayout, RightGroupFollowsTheScreenWidth)
{
    // The toggle ends 10 pixels before the right edge; Search leaves a 25-pixel gap before the count field.
    for (int width : {800, 1366, 2560}) {
        const LayoutRect toggle = CommandBarSlotRect(6, kCommandBarSlots, width);
        const LayoutRect count = CommandBarSlotRect(11, kCommandBarSlots, width);
        const LayoutRect search = CommandBarSlotRect(12, kCommandBarSlots, width);
        EXPECT_EQ(toggle.x + toggle.width, width - 10) << width;
        EXPECT_EQ(count.x - (search.x + search.width), 25) << width;
    }
}

TEST(JumpBarLayout, ButtonsStandAtAPitchOf22)
{
    EXPECT_EQ(JumpButtonRect(0), (LayoutRect{2, 5, 87, 20}));
    EXPECT_EQ(JumpButtonRect(1), (LayoutRect{2, 27, 87, 20}));
    EXPECT_EQ(JumpButtonRect(18), (LayoutRect{2, 401, 87, 20}));
}

TEST(ScreenLayout, WindowsAfterStartUpOnFullHd)
{
    EXPECT_EQ(TopBarRect(1920), (LayoutRect{0, 0, 1920, 33}));
    EXPECT_EQ(JumpBarRect(1920, 1080), (LayoutRect{1819, 33, 99, 982}));
    EXPECT_EQ(EditorRect(1920, 1080, true), (LayoutRect{1, 33, 1818, 877}));
    EXPECT_EQ(OutputRect(1920, 1080, true), (LayoutRect{1, 910, 1818, 170}));
    EXPECT_EQ(EditorCreationRect(1920, 1080), (LayoutRect{1, 40, 1830, 870}));
    EXPECT_EQ(OutputCreationRect(1920, 1080), (LayoutRect{1, 879, 1830, 100}));
}

TEST(ScreenLayout, HiddenJumpBarWidensEditorAndOutput)
{
    EXPECT_EQ(EditorRect(1920, 1080, false), (LayoutRect{1, 33, 1918, 877}));
    EXPECT_EQ(OutputRect(1920, 1080, false), (LayoutRect{1, 910, 1918, 170}));
    // The editor ends where the jump bar begins while the bar is shown.
    const LayoutRect editor = EditorRect(1366, 768, true);
    EXPECT_EQ(editor.x + editor.width, JumpBarRect(1366, 768).x);
}

TEST(ScreenLayout, MainWindowSpansTheWorkAreaFromMinusThree)
{
    EXPECT_EQ(MainWindowRect({0, 0, 1920, 1040}), (LayoutRect{-3, 0, 1940, 1040}));
    // A task bar on the left or top moves neither the left edge nor the extra width.
    EXPECT_EQ(MainWindowRect({60, 30, 1920, 1080}), (LayoutRect{-3, 30, 1880, 1050}));
}

TEST(CenteredOrigin, TruncatesTowardZero)
{
    struct Case {
        int windowWidth, windowHeight;
        ScreenPoint expected;
    };
    const Case cases[] = {
        {800, 600, {560, 240}},
        {801, 601, {559, 239}},     // 1119 / 2 rounds down
        {1925, 1080, {-2, 0}},      // -5 / 2 gives -2, not -3
        {2921, 2081, {-500, -500}}, // -1001 / 2 gives -500
    };
    for (const Case& c : cases)
        EXPECT_EQ(CenteredOrigin(1920, 1080, c.windowWidth, c.windowHeight), c.expected) << c.windowWidth;
}

}  // namespace

namespace {

bool Inside(const LayoutRect& inner, int width, int height)
{
    return inner.x >= 0 && inner.y >= 0 && inner.width > 0 && inner.height > 0 && inner.x + inner.width <= width &&
           inner.y + inner.height <= height;
}

bool Overlap(const LayoutRect& a, const LayoutRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// From the smallest client area up to a large screen, with and without the gutter (a narrow
// one, and one too wide for the editor): every window whole, none over another, and the gutter
// and the editor together where the editor alone stands without it.
TEST(ShellLayout, EveryControlFitsAndNoneOverlapsAtAnySize)
{
    for (int width = kSmallestLayoutWidth; width <= 2600; width += 13) {
        for (int height = kSmallestLayoutHeight; height <= 1700; height += 29) {
            for (int gutterWidth : {0, 41, 5000})
            for (bool jumpBarShown : {true, false}) {
                const ShellLayout layout = ShellLayoutFor(width, height, jumpBarShown, kOutputPaneHeight, gutterWidth);
                const LayoutRect whole = ShellLayoutFor(width, height, jumpBarShown).editor;
                std::vector<LayoutRect> main = {layout.topBar, layout.editor, layout.output};
                if (gutterWidth > 0) {
                    main.push_back(layout.gutter);
                    ASSERT_GT(layout.gutter.width, 0);
                    ASSERT_GE(layout.editor.width, layout.gutter.width);
                }
                ASSERT_EQ(layout.gutter.x, whole.x);
                ASSERT_EQ(layout.gutter.x + layout.gutter.width, layout.editor.x);
                ASSERT_EQ(layout.editor.x + layout.editor.width, whole.x + whole.width);
                ASSERT_TRUE(layout.gutter.y == whole.y && layout.gutter.height == whole.height &&
                            layout.editor.y == whole.y && layout.editor.height == whole.height);
                if (jumpBarShown)
                    main.push_back(layout.jumpBar);
                std::vector<LayoutRect> bar(std::begin(layout.commandBar), std::end(layout.commandBar));
                bar.push_back(layout.caretLabel);
                const auto where = ::testing::Message() << width << "x" << height << (jumpBarShown ? "" : " hidden");
                for (std::size_t i = 0; i < main.size(); ++i) {
                    ASSERT_TRUE(Inside(main[i], width, height)) << where << " window " << i;
                    for (std::size_t j = i + 1; j < main.size(); ++j)
                        ASSERT_FALSE(Overlap(main[i], main[j])) << where << " windows " << i << ", " << j;
                }
                for (std::size_t i = 0; i < bar.size(); ++i) {
                    ASSERT_TRUE(Inside(bar[i], layout.topBar.width, layout.topBar.height)) << where << " slot " << i;
                    for (std::size_t j = i + 1; j < bar.size(); ++j)
                        ASSERT_FALSE(Overlap(bar[i], bar[j])) << where << " slots " << i << ", " << j;
                }
                const LayoutRect lastJump = JumpButtonRect(kJumpButtons - 1);
                ASSERT_LE(lastJump.y + lastJump.height, layout.jumpBar.height) << where;
            }
        }
    }
}

TEST(ShellLayout, TheScreenLayoutIsTheOneOfOld)
{
    const ShellLayout layout = ShellLayoutFor(1920, 1080, true);
    EXPECT_EQ(layout.editor, (LayoutRect{1, 33, 1818, 877}));
    EXPECT_EQ(ShellLayoutFor(1920, 1080, true, kOutputPaneHeight, 40).gutter, (LayoutRect{1, 33, 40, 877}));
    EXPECT_EQ(ShellLayoutFor(1920, 1080, true, kOutputPaneHeight, 40).editor, (LayoutRect{41, 33, 1778, 877}));
    EXPECT_EQ(layout.output, (LayoutRect{1, 910, 1818, 170}));
    EXPECT_EQ(layout.jumpBar, (LayoutRect{1819, 33, 99, 982}));
    EXPECT_EQ(layout.caretLabel, (LayoutRect{437, 5, 1059, 25}));
}

}  // namespace

namespace {

// The splitter's pane height, kept within its limits for every layout height; the editor
// always ends where the pane begins.
TEST(ShellLayout, TheSplitterMovesTheBoundaryWithinLimits)
{
    struct Case {
        int requested;
        int height;
        int paneHeight;
    };
    const Case cases[] = {
        {170, 1080, 170},  // the start picture
        {500, 1080, 500},
        {5000, 1080, 1080 - kTopBarHeight - kSmallestEditorHeight},
        {10, 1080, kSmallestOutputPaneHeight},
        {-300, 1080, kSmallestOutputPaneHeight},
        {500, kSmallestLayoutHeight, kSmallestLayoutHeight - kTopBarHeight - kSmallestEditorHeight},
        {100, 200, kSmallestOutputPaneHeight},  // smaller than any window gets: the pane stays
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutputPaneHeightFor(c.requested, c.height), c.paneHeight) << c.requested << " in " << c.height;
        const ShellLayout layout = ShellLayoutFor(1280, c.height, true, c.requested);
        EXPECT_EQ(layout.output.height, c.paneHeight);
        EXPECT_EQ(layout.output.y + layout.output.height, c.height);
        EXPECT_EQ(layout.editor.y + layout.editor.height, layout.output.y);
    }
}

}  // namespace
