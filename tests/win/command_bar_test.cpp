// The command bar's count field and jump-bar toggle, pressed as a user presses them.
#include <gtest/gtest.h>

#include <string>

#include "win32/window_ops.h"
#include "commandbar/command_bar.h"
#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"

namespace {

HWND CountField()
{
    return okno_dzialan.windows[kCountFieldSlot];
}

class CountFieldTest : public testing::Test {
protected:
    void TearDown() override { SetWindowTextW(CountField(), L"1"); }
};

TEST_F(CountFieldTest, PlusAndMinusStayBetweenOneAndEight)
{
    SetWindowTextW(CountField(), L"1");
    for (int press = 0; press < 7; ++press)
        PressCommandBarButton(IDC_COUNT_UP);
    EXPECT_EQ(WindowText(CountField()), L"8");
    PressCommandBarButton(IDC_COUNT_UP);
    EXPECT_EQ(WindowText(CountField()), L"8");

    for (int press = 0; press < 7; ++press)
        PressCommandBarButton(IDC_COUNT_DOWN);
    EXPECT_EQ(WindowText(CountField()), L"1");
    PressCommandBarButton(IDC_COUNT_DOWN);
    EXPECT_EQ(WindowText(CountField()), L"1");
}

TEST_F(CountFieldTest, WhateverTheUserTyped)
{
    struct Case {
        const wchar_t* typed;
        int button;
        const wchar_t* after;
    };
    const Case cases[] = {
        {L"25", IDC_COUNT_UP, L"25"},
        {L"25", IDC_COUNT_DOWN, L"24"},
        {L"abc", IDC_COUNT_UP, L"1"},
        {L"abc", IDC_COUNT_DOWN, L"abc"},
        {L"-3", IDC_COUNT_UP, L"-2"},
        {L"-3", IDC_COUNT_DOWN, L"-3"},
        {L" 4x", IDC_COUNT_UP, L"5"},
        // Shown in full, however long.
        {L"123456", IDC_COUNT_DOWN, L"123455"},
        {L"-100000", IDC_COUNT_UP, L"-99999"},
        // Beyond a 32-bit int: the nearest end of the range.
        {L"99999999999", IDC_COUNT_DOWN, L"2147483646"},
        {L"-99999999999", IDC_COUNT_UP, L"-2147483647"},
    };
    for (const Case& c : cases) {
        SetWindowTextW(CountField(), c.typed);
        PressCommandBarButton(c.button);
        EXPECT_EQ(WindowText(CountField()), c.after) << c.typed << (c.button == IDC_COUNT_UP ? L" +" : L" -");
    }
}

TEST_F(CountFieldTest, CountFieldNotificationsAreNotCommands)
{
    SetWindowTextW(CountField(), L"3");
    PressCommandBarButton(IDC_COUNT_FIELD);
    EXPECT_EQ(WindowText(CountField()), L"3");
}

TEST(JumpBarToggle, HidesAndShowsTheBarAndResizesEditorAndOutput)
{
    const int cx = ScreenWidth();
    const int cy = ScreenHeight();
    HWND toggle = okno_dzialan.windows[kJumpBarToggleSlot];
    ASSERT_EQ(WindowText(toggle), L">");
    struct Press {
        const wchar_t* caption;
        bool barShown;
        int width;
    };
    // The first press hides the bar and widens both panes, the second puts everything back.
    for (const Press& p : {Press{L"<", false, cx - 2}, Press{L">", true, cx - 102}}) {
        SetFocus(toggle);
        PressCommandBarButton(IDC_JUMP_BAR_TOGGLE);
        EXPECT_EQ(WindowText(toggle), p.caption);
        EXPECT_EQ(IsWindowVisible(hJump) != FALSE, p.barShown);
        // The gutter of line numbers and the editor share the editor's place.
        EXPECT_EQ(PlaceInParent(hGutter), (LayoutRect{1, 33, gutterWidth, cy - 203})) << p.caption;
        EXPECT_EQ(PlaceInParent(hEdit), (LayoutRect{1 + gutterWidth, 33, p.width - gutterWidth, cy - 203})) << p.caption;
        EXPECT_EQ(PlaceInParent(hOutput), (LayoutRect{1, cy - 170, p.width, VisiblePaneHeight()})) << p.caption;
        EXPECT_EQ(GetFocus(), hEdit) << p.caption;
    }
}

}  // namespace
