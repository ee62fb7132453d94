// The 19 jump buttons, pressed as the buttons report a click to the jump bar, against a long text.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/window_ops.h"
#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"

namespace {

constexpr int kSlots = 19;

void PressJumpButton(int slot)
{
    SendMessageW(hJump, WM_COMMAND, MAKEWPARAM(IDC_FIRST_JUMP + slot, BN_CLICKED),
                 reinterpret_cast<LPARAM>(okno_skoku.windows[slot]));
}

std::wstring Marker(int slot)
{
    wchar_t marker[8];
    wsprintfW(marker, L"//--?%02d", slot);
    return marker;
}

// Whether the character's line lies wholly inside the editor's client area.
bool IsShown(HWND edit, DWORD position)
{
    const LRESULT place = SendMessageW(edit, EM_POSFROMCHAR, position, 0);
    if (place == -1)
        return false;
    const int y = static_cast<short>(HIWORD(place));
    RECT client;
    GetClientRect(edit, &client);
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return y >= 0 && y + metrics.tmHeight <= client.bottom;
}

class JumpBarTest : public testing::Test {
protected:
    void TearDown() override
    {
        SetWindowTextW(hEdit, L"");
        SetFocus(hEdit);
    }
};

// Markers from the very first to the very last characters of a text of some thousands of lines,
// one of them written twice; the buttons pressed in both orders, so that the marker lies now
// below and now above the view.
TEST_F(JumpBarTest, EachButtonScrollsToItsFirstMarkerAndSelectsIt)
{
    constexpr int kLines = 3000;
    std::wstring text;
    std::vector<DWORD> expected(kSlots);
    for (int line = 0; line < kLines; ++line) {
        for (int slot = 0; slot < kSlots; ++slot) {
            if (line == slot * (kLines - 1) / (kSlots - 1) && slot != kSlots - 1) {
                if (slot > 0)
                    text += L"    x = x + 1; ";
                expected[slot] = static_cast<DWORD>(text.size());
                text += Marker(slot);
            }
        }
        if (line == 2000)
            text += L"/* again: //--?07 */";
        text += L"    printf(\"line " + std::to_wstring(line) + L"\\n\");";
        if (line + 1 < kLines)
            text += L"\r\n";
    }
    expected[kSlots - 1] = static_cast<DWORD>(text.size());
    text += Marker(kSlots - 1);  // the very last seven characters
    ASSERT_LT(expected[7], text.find(L"again: //--?07"));

    SetWindowTextW(hEdit, text.c_str());
    std::vector<int> order;
    for (int slot = 0; slot < kSlots; ++slot)
        order.push_back(slot);
    for (int slot = kSlots - 1; slot >= 0; --slot)
        order.push_back(slot);

    for (int slot : order) {
        SetFocus(hOutput);
        PressJumpButton(slot);
        const Selection selection = SelectionOf(hEdit);
        EXPECT_EQ(selection, (Selection{expected[slot], expected[slot] + 7})) << "slot " << slot;
        EXPECT_EQ(GetFocus(), hEdit) << "slot " << slot;
        EXPECT_TRUE(IsShown(hEdit, expected[slot])) << "slot " << slot;
    }
}

TEST_F(JumpBarTest, TheIdNotTheCaptionChoosesTheMarker)
{
    SetWindowTextW(hEdit, L"pętla //--?00\r\n//--?04 pętla");
    SetWindowTextW(okno_skoku.windows[4], L"pętla");
    PressJumpButton(4);
    SetWindowTextW(okno_skoku.windows[4], Marker(4).c_str());
    EXPECT_EQ(SelectionOf(hEdit), (Selection{15, 22}));
}

TEST_F(JumpBarTest, EmptyEditorSaysSoAndMissingMarkerChangesNothing)
{
    SetWindowTextW(hEdit, L"");
    MessageBoxSeen box;
    {
        ModalDriver driver({RecordMessageBox(&box)});
        PressJumpButton(0);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(box.caption, L"Error");
    EXPECT_EQ(box.text, MessageText(IDS_NO_TEXT_TO_JUMP));
    EXPECT_EQ(box.owner, nullptr);

    std::wstring text;
    for (int line = 0; line < 200; ++line)
        text += L"int line" + std::to_wstring(line) + L"; //--?1\r\n";
    SetWindowTextW(hEdit, text.c_str());
    SendMessageW(hEdit, EM_SETSEL, 40, 45);
    SendMessageW(hEdit, EM_LINESCROLL, 0, 50);
    const LRESULT topLine = SendMessageW(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0);
    SetFocus(hOutput);
    {
        ModalDriver driver({});
        PressJumpButton(12);
        PumpPendingMessages();
        EXPECT_EQ(driver.unexpected(), 0) << "no message for a missing marker";
    }
    EXPECT_EQ(GetFocus(), hOutput);
    EXPECT_EQ(SelectionOf(hEdit), (Selection{40, 45}));
    EXPECT_EQ(SendMessageW(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0), topLine);
}

}  // namespace
