// The main window itself: class, style, place, colours, and the start state it leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/main_window.h"
#include "files/text_file.h"
#include "output/output_pane.h"
#include "tests/win/win_test_support.h"
#include "win32/process_state.h"

extern wchar_t g_startDirectory[MAX_PATH];

namespace {

TEST(MainWindow, ClassTitleStyleAndPlace)
{
    ASSERT_TRUE(IsWindow(mHwnd));
    EXPECT_EQ(ClassNameOf(mHwnd), L"MainWindowClass");
    EXPECT_EQ(WindowText(mHwnd), L"");
    EXPECT_EQ(GetMenu(mHwnd), nullptr);
    EXPECT_EQ(mhI, GetModuleHandleW(nullptr));

    const DWORD style = StyleOf(mHwnd);
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME) << "the user can resize it";
    EXPECT_FALSE(style & WS_MAXIMIZE) << "the window is shown at the rectangle it was made with";
    EXPECT_TRUE(IsWindowVisible(mHwnd));

    // The client area stands where a window of the fixed frame at x -3, across the work area
    // and 20 pixels wider, has it; the sizing frame lies around it.
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT fixedFrame = {0, 0, 0, 0};
    AdjustWindowRectEx(&fixedFrame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, 0);
    POINT origin = {0, 0};
    ClientToScreen(mHwnd, &origin);
    EXPECT_EQ(origin.x, -3 - fixedFrame.left);
    EXPECT_EQ(origin.y, static_cast<int>(work.top - fixedFrame.top));
    RECT client;
    GetClientRect(mHwnd, &client);
    EXPECT_EQ(client.right, work.right - work.left + 20 - (fixedFrame.right - fixedFrame.left));
    EXPECT_EQ(client.bottom, work.bottom - work.top - (fixedFrame.bottom - fixedFrame.top));

    WNDCLASSW windowClass = {};
    ASSERT_TRUE(GetClassInfoW(mhI, L"MainWindowClass", &windowClass));
    EXPECT_EQ(windowClass.style, 0u);
    EXPECT_EQ(windowClass.hbrBackground, nullptr);
    EXPECT_EQ(windowClass.lpfnWndProc, &WindowProc);
}

TEST(MainWindow, EditColoursComeFromTheLiveGlobals)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(dc);
    const COLORREF savedText = textColor;
    const COLORREF savedBackground = backgroundColor;

    // The colour of the brush that fills the editor's empty area.
    const auto brushColour = [](LRESULT brush) {
        LOGBRUSH made = {};
        GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof made, &made);
        return made.lbColor;
    };

    // Start values: white on black for both.
    LRESULT brush = SendMessageW(mHwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hEdit));
    EXPECT_EQ(brushColour(brush), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 0));

    // The whole editor takes the background colour, a light one included, and follows each change.
    for (const COLORREF background : {RGB(0, 0, 128), RGB(250, 245, 230)}) {
        textColor = RGB(10, 200, 30);
        backgroundColor = background;
        brush = SendMessageW(mHwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hEdit));
        EXPECT_EQ(brushColour(brush), background);
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(hEditorBrush)) << "one brush, kept while the colour stays";
        EXPECT_EQ(GetTextColor(dc), RGB(10, 200, 30));
        EXPECT_EQ(GetBkColor(dc), background);
    }

    // The output pane keeps white on black whatever the editor's colours are.
    brush = SendMessageW(mHwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hOutput));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(hBrushBlack));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 0));

    LOGBRUSH description = {};
    ASSERT_TRUE(GetObjectW(hBrushBlack, sizeof description, &description));
    EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(description.lbColor, RGB(0, 0, 0));

    textColor = savedText;
    backgroundColor = savedBackground;
    DeleteDC(dc);
}

TEST(MainWindow, StartStateOfTextsPathsAndSettings)
{
    EXPECT_EQ(WindowText(hEdit), L"");
    EXPECT_EQ(WindowText(hOutput), L"");
    EXPECT_STREQ(current_file, L"");
    EXPECT_STREQ(project_name, L"");
    EXPECT_STREQ(currentPathA, g_startDirectory);
    EXPECT_EQ(textColor, RGB(255, 255, 255));
    EXPECT_EQ(backgroundColor, RGB(0, 0, 0));
    EXPECT_EQ(SettingsToImage(ustawienia), SettingsToImage(StartSettings()));
    EXPECT_EQ(ustawienia.savedTextColor, textColor);
    EXPECT_EQ(ustawienia.savedBackgroundColor, backgroundColor);
}

// Typing into the editor and adding output go on past the control's default 30,000/32,767
// limit; the pane's text cannot be typed over.
TEST(MainWindow, EditorAndOutputTakeFarMoreThan32KCharacters)
{
    const std::wstring chunk(10000, L'x');
    for (HWND edit : {hEdit, hOutput}) {
        SetWindowTextW(edit, L"");
        for (int i = 0; i < 5; ++i) {
            SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
            SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(chunk.c_str()));
        }
        SendMessageW(edit, WM_CHAR, L'y', 0);
        EXPECT_EQ(GetWindowTextLengthW(edit), edit == hEdit ? 50001 : 50000);
        SetWindowTextW(edit, L"");
    }
}

TEST(MainWindow, BarsAndBackgroundArePaintedInTheDarkScheme)
{
    RedrawWindow(mHwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();

    HDC bar = GetDC(hTopBar);
    // Between "Options" and "Search" nothing covers the bar.
    EXPECT_EQ(GetPixel(bar, 800, 16), RGB(20, 20, 20));
    EXPECT_EQ(GetPixel(bar, 800, 0), RGB(205, 205, 205));
    ReleaseDC(hTopBar, bar);

    HDC jump = GetDC(hJump);
    RECT jumpClient;
    GetClientRect(hJump, &jumpClient);
    EXPECT_EQ(GetPixel(jump, 50, jumpClient.bottom - 20), RGB(20, 20, 20));
    EXPECT_EQ(GetPixel(jump, 0, jumpClient.bottom - 20), RGB(205, 205, 205));
    ReleaseDC(hJump, jump);
}

}  // namespace
