// The screen as start-up leaves it, read back from the real windows.
#include <gtest/gtest.h>

#include <string>

#include "win32/window_ops.h"
#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"

namespace {

constexpr DWORD kGroupControlStyle = 0x50010001;

TEST(ShellLayout, CommandBarControlsByIdClassCaptionAndPlace)
{
    struct Expected {
        int slot;
        int id;
        const wchar_t* className;
        const wchar_t* caption;
        LayoutRect place;
    };
    const int cx = ScreenWidth();
    const Expected controls[] = {
        {0, 301, L"Button", L"Open", {5, 5, 67, 25}},
        {1, 302, L"Button", L"Save", {77, 5, 67, 25}},
        {2, 303, L"Button", L"Save as", {149, 5, 67, 25}},
        {3, 304, L"Button", L"Compile", {221, 5, 67, 25}},
        {4, 305, L"Button", L"Run", {293, 5, 67, 25}},
        {5, 306, L"Button", L"Options", {365, 5, 67, 25}},
        {6, 309, L"Button", L">", {cx - 57, 5, 47, 25}},
        {7, 308, L"Button", L"--->", {cx - 109, 5, 47, 25}},
        {8, 307, L"Button", L"<---", {cx - 161, 5, 47, 25}},
        {9, 310, L"Button", L"-", {cx - 213, 5, 47, 25}},
        {10, 311, L"Button", L"+", {cx - 265, 5, 47, 25}},
        {11, 312, L"Edit", L"1", {cx - 317, 5, 47, 25}},
        {12, 313, L"Button", L"Search", {cx - 419, 5, 77, 25}},
    };
    ASSERT_EQ(okno_dzialan.count, 13);
    EXPECT_EQ(okno_dzialan.visible, 1);
    for (const Expected& e : controls) {
        SCOPED_TRACE(e.caption);
        HWND control = okno_dzialan.windows[e.slot];
        ASSERT_TRUE(IsWindow(control));
        EXPECT_EQ(GetParent(control), hTopBar);
        EXPECT_EQ(GetDlgCtrlID(control), e.id);
        EXPECT_EQ(_wcsicmp(ClassNameOf(control).c_str(), e.className), 0) << ClassNameOf(control).c_str();
        EXPECT_EQ(WindowText(control), e.caption);
        EXPECT_EQ(StyleOf(control) & 0xFFFF000F, kGroupControlStyle);
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_EQ(PlaceInParent(control), e.place);
        const RECT& r = okno_dzialan.rects[e.slot];
        EXPECT_EQ((LayoutRect{r.left, r.top, r.right, r.bottom}), e.place);
    }
}

TEST(ShellLayout, JumpButtonsCarryTheirMarkersAsCaptions)
{
    ASSERT_EQ(okno_skoku.count, 19);
    EXPECT_EQ(okno_skoku.visible, 1);
    for (int slot = 0; slot < 19; ++slot) {
        SCOPED_TRACE(slot);
        HWND button = okno_skoku.windows[slot];
        ASSERT_TRUE(IsWindow(button));
        EXPECT_EQ(GetParent(button), hJump);
        EXPECT_EQ(GetDlgCtrlID(button), 351 + slot);
        EXPECT_EQ(_wcsicmp(ClassNameOf(button).c_str(), L"Button"), 0);
        wchar_t caption[16];
        swprintf(caption, 16, L"//--?%02d", slot);
        EXPECT_EQ(WindowText(button), caption);
        EXPECT_EQ(StyleOf(button) & 0xFFFF000F, kGroupControlStyle);
        EXPECT_EQ(PlaceInParent(button), (LayoutRect{2, 22 * slot + 5, 87, 20}));
    }
}

TEST(ShellLayout, MainChildrenAfterStartUp)
{
    const int cx = ScreenWidth();
    const int cy = ScreenHeight();
    struct Expected {
        HWND window;
        int id;
        const wchar_t* className;
        DWORD style;
        LayoutRect place;
    };
    const Expected children[] = {
        {hTopBar, 300, L"Static", 0x50010001, {0, 0, cx, 33}},
        // The gutter of line numbers takes the left of the editor's place.
        {hEdit, 1001, L"Edit", 0x50A00044, {1 + gutterWidth, 33, cx - 102 - gutterWidth, cy - 203}},
        {hOutput, 224, L"Edit", 0x50A00044, {1, cy - 170, cx - 102, VisiblePaneHeight()}},
        {hJump, 350, L"Static", 0x50010001, {cx - 101, 33, 99, cy - 98}},
    };
    EXPECT_GT(gutterWidth, 0);
    EXPECT_EQ(PlaceInParent(hGutter), (LayoutRect{1, 33, gutterWidth, cy - 203}));
    for (const Expected& e : children) {
        SCOPED_TRACE(e.id);
        ASSERT_TRUE(IsWindow(e.window));
        EXPECT_EQ(GetParent(e.window), mHwnd);
        EXPECT_EQ(GetDlgCtrlID(e.window), e.id);
        EXPECT_EQ(_wcsicmp(ClassNameOf(e.window).c_str(), e.className), 0);
        // An edit control takes its border bit over and draws the border itself.
        const DWORD ignored = e.className == std::wstring(L"Edit") ? WS_BORDER : 0;
        EXPECT_EQ(StyleOf(e.window) & 0xFFFF00FF & ~ignored, e.style & ~ignored);
        EXPECT_TRUE(IsWindowVisible(e.window));
        EXPECT_EQ(PlaceInParent(e.window), e.place);
    }
}

TEST(ShellLayout, FontsOfEachGroup)
{
    ASSERT_NE(hNormalFont, nullptr);
    ASSERT_NE(hOldFont, nullptr);
    EXPECT_NE(hNormalFont, hOldFont);
    const auto fontOf = [](HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); };
    EXPECT_EQ(fontOf(hEdit), hNormalFont);
    EXPECT_TRUE(PaneFontFollows(hNormalFont));
    for (int slot = 0; slot < okno_dzialan.count; ++slot)
        EXPECT_EQ(fontOf(okno_dzialan.windows[slot]), hNormalFont) << slot;
    for (int slot = 0; slot < okno_skoku.count; ++slot)
        EXPECT_EQ(fontOf(okno_skoku.windows[slot]), hOldFont) << slot;

    LOGFONTW font = {};
    ASSERT_EQ(GetObjectW(hNormalFont, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, 18);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfPitchAndFamily, DEFAULT_PITCH | FF_SWISS);
    EXPECT_STREQ(font.lfFaceName, L"Arial");
}

TEST(ShellLayout, EachGroupsStoredOperationsActOnItsOwnWindows)
{
    for (WManager* group : {&okno_dzialan, &okno_skoku}) {
        const std::int32_t first[] = {0};
        group->hide(group, first, 1);
        EXPECT_FALSE(IsWindowVisible(group->windows[0]));
        EXPECT_TRUE(IsWindowVisible(group->windows[1]));
        group->show(group, first, 1);
        EXPECT_TRUE(IsWindowVisible(group->windows[0]));

        group->hideAll(group);
        for (int slot = 0; slot < group->count; ++slot)
            EXPECT_FALSE(IsWindowVisible(group->windows[slot])) << slot;
        group->showAll(group);
        for (int slot = 0; slot < group->count; ++slot)
            EXPECT_TRUE(IsWindowVisible(group->windows[slot])) << slot;
    }
}

TEST(WindowGroups, OperationsActOnTheGivenSlotsInOrder)
{
    // A private group of three hidden child windows, so the real bars stay as they are.
    WManager group = {};
    group.count = 3;
    for (int slot = 0; slot < 3; ++slot) {
        group.windows[slot] = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, mHwnd, nullptr, mhI, nullptr);
        group.rects[slot] = {10 * slot, 100 + slot, 5 + slot, 7};
    }
    AttachGroupOperations(&group);

    group.show(&group, nullptr, 0);
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_FALSE(IsWindowVisible(group.windows[slot]));

    const std::int32_t some[] = {2, 0, 2};
    group.show(&group, some, 3);
    EXPECT_TRUE(IsWindowVisible(group.windows[0]));
    EXPECT_FALSE(IsWindowVisible(group.windows[1]));
    EXPECT_TRUE(IsWindowVisible(group.windows[2]));

    const std::int32_t last[] = {2};
    group.hide(&group, last, 1);
    EXPECT_FALSE(IsWindowVisible(group.windows[2]));

    group.showAll(&group);
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_TRUE(IsWindowVisible(group.windows[slot]));
    group.hideAll(&group);
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_FALSE(IsWindowVisible(group.windows[slot]));

    ResetujPozycjeOkien(&group);
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_EQ(PlaceInParent(group.windows[slot]), (LayoutRect{10 * slot, 100 + slot, 5 + slot, 7}));

    for (int slot = 0; slot < 3; ++slot)
        DestroyWindow(group.windows[slot]);
}

TEST(CenterWindow, CentresOnTheWholeScreenTruncatingTowardZero)
{
    const int cx = ScreenWidth();
    const int cy = ScreenHeight();
    struct Case {
        int width, height;
        int left, top;
    };
    const Case cases[] = {
        {400, 300, (cx - 400) / 2, (cy - 300) / 2},
        {cx - 401, cy - 301, 200, 150},  // an odd difference rounds down
        {cx + 5, cy + 7, -2, -3},        // larger than the screen: toward zero, not down
    };
    for (const Case& c : cases) {
        HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, c.width, c.height, nullptr, nullptr, mhI,
                                     nullptr);
        ASSERT_TRUE(popup);
        CenterWindow(popup);
        RECT bounds;
        GetWindowRect(popup, &bounds);
        EXPECT_EQ(bounds.left, c.left) << c.width;
        EXPECT_EQ(bounds.top, c.top) << c.height;
        EXPECT_EQ(bounds.right - bounds.left, c.width);
        DestroyWindow(popup);
    }
}

}  // namespace
