// The splitter between the editor and the output pane, dragged with the real mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/win_test_support.h"
#include "win32/layout.h"
#include "win32/main_layout.h"
#include "win32/process_state.h"

namespace {

void MouseTo(POINT screen, DWORD buttons = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
    PumpPendingMessages();
}

// Drags from a point of the pane's top edge by `by` pixels up (negative: down).
void DragPaneTop(int by)
{
    RECT pane;
    GetWindowRect(hOutput, &pane);
    const POINT grip{pane.left + 200, pane.top + 3};
    MouseTo(grip);
    MouseTo(grip, MOUSEEVENTF_LEFTDOWN);
    MouseTo({grip.x, grip.y - by / 2});
    MouseTo({grip.x, grip.y - by});
    MouseTo({grip.x, grip.y - by}, MOUSEEVENTF_LEFTUP);
}

int Bottom(const LayoutRect& place)
{
    return place.y + place.height;
}

TEST(Splitter, DraggingThePanesTopMakesItTallerWithinLimitsAtEverySize)
{
    RECT start;
    GetWindowRect(mHwnd, &start);
    SetForegroundWindow(mHwnd);
    const LayoutRect paneAtStart = PlaceInParent(hOutput);
    const LayoutRect editorAtStart = PlaceInParent(hEdit);

    DragPaneTop(300);
    LayoutRect pane = PlaceInParent(hOutput);
    EXPECT_EQ(pane.y, paneAtStart.y - 300);
    EXPECT_EQ(Bottom(pane), Bottom(paneAtStart));
    EXPECT_EQ(Bottom(PlaceInParent(hEdit)), pane.y) << "the editor ends where the pane begins";
    EXPECT_EQ(PlaceInParent(hEdit).y, editorAtStart.y);

    // A smaller window keeps the pane's height.
    const int height = pane.height;
    SetWindowPos(mHwnd, nullptr, 100, 50, 1200, 800, SWP_NOZORDER);
    PumpPendingMessages();
    RECT client;
    GetClientRect(mHwnd, &client);
    EXPECT_EQ(PlaceInParent(hOutput).height, height);
    EXPECT_EQ(Bottom(PlaceInParent(hOutput)), client.bottom);
    // At the smallest size the editor keeps its least height, and the pane gets the rest.
    DragPaneTop(1000);
    SetWindowPos(mHwnd, nullptr, 100, 50, kSmallestWindowWidth, kSmallestWindowHeight, SWP_NOZORDER);
    PumpPendingMessages();
    GetClientRect(mHwnd, &client);
    EXPECT_EQ(PlaceInParent(hEdit).height, kSmallestEditorHeight);
    EXPECT_EQ(Bottom(PlaceInParent(hEdit)), PlaceInParent(hOutput).y);
    EXPECT_EQ(Bottom(PlaceInParent(hOutput)), client.bottom);

    // Dragged far down, the pane keeps its least height.
    DragPaneTop(-2000);
    EXPECT_EQ(PlaceInParent(hOutput).height, kSmallestOutputPaneHeight);
    // Back at the start place and the start height, the start picture is as it was.
    SetWindowPos(mHwnd, nullptr, start.left, start.top, start.right - start.left, start.bottom - start.top, SWP_NOZORDER);
    MoveSplitterTo(paneAtStart.y);
    PumpPendingMessages();
    EXPECT_EQ(PlaceInParent(hOutput), paneAtStart);
    EXPECT_EQ(PlaceInParent(hEdit), editorAtStart);
    outputPaneHeight = 0;
    LayOutShell();
}

}  // namespace
