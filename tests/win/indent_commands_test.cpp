// The "--->" and "<---" buttons on the editor's selection, with the count typed in the count field.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "commandbar/command_bar.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"

namespace {

void SetCount(const wchar_t* count)
{
    SetWindowTextW(okno_dzialan.windows[kCountFieldSlot], count);
}

class IndentCommandsTest : public testing::Test {
protected:
    void TearDown() override
    {
        SetWindowTextW(hEdit, L"");
        SetCount(L"1");
    }
};

// Each press works on what the last one left selected, and is one step of the history; the
// editor draws again after every press.
TEST_F(IndentCommandsTest, RepeatedPressesShiftTheSelectedLines)
{
    const std::wstring start = L"int main()\r\n{\r\nreturn 0;\r\n}\r\nrest";
    SetWindowTextW(hEdit, L"int main()\r\n{\r\nreturn 0;\r\n}\r\n");
    SendMessageW(hEdit, EM_SETSEL, 29, 29);
    SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"rest"));
    ASSERT_EQ(WindowText(hEdit), start);
    SendMessageW(hEdit, EM_SETSEL, 0, 27);  // "int main()" to the end of "}"

    struct Step {
        int button;
        const wchar_t* count;
        std::wstring text;
        Selection selection;
    };
    const Step steps[] = {
        {IDC_INDENT, L"4", L"    int main()\r\n    {\r\n    return 0;\r\n    }\r\nrest", {0, 43}},
        {IDC_INDENT, L"4", L"        int main()\r\n        {\r\n        return 0;\r\n        }\r\nrest", {0, 59}},
        {IDC_OUTDENT, L"6", L"  int main()\r\n  {\r\n  return 0;\r\n  }\r\nrest", {0, 35}},
        {IDC_OUTDENT, L"6", start, {0, 27}},
        {IDC_OUTDENT, L"6", start, {0, 27}},  // nothing left to remove
        {IDC_INDENT, L"x", start, {0, 27}},   // not a number: 0
        {IDC_INDENT, L"-3", start, {0, 27}},
    };
    for (const Step& step : steps) {
        SetCount(step.count);
        PressCommandBarButton(step.button);
        EXPECT_EQ(WindowText(hEdit), step.text) << step.button << " " << step.count;
        EXPECT_EQ(SelectionOf(hEdit), step.selection) << step.button << " " << step.count;
        EXPECT_TRUE(IsWindowVisible(hEdit)) << "redrawing is back on";
    }

    // The presses that changed nothing are no steps: undo goes back press by press, each to the
    // selection the press found, then takes back the typed "rest".
    for (int last = 3; last >= 0; --last) {
        ASSERT_TRUE(SendMessageW(hEdit, WM_UNDO, 0, 0));
        EXPECT_EQ(WindowText(hEdit), last == 0 ? start : steps[last - 1].text) << last;
        EXPECT_EQ(SelectionOf(hEdit), last == 0 ? (Selection{0, 27}) : steps[last - 1].selection) << last;
    }
    ASSERT_TRUE(SendMessageW(hEdit, WM_UNDO, 0, 0));
    EXPECT_EQ(WindowText(hEdit), L"int main()\r\n{\r\nreturn 0;\r\n}\r\n");
    EXPECT_FALSE(SendMessageW(hEdit, EM_CANUNDO, 0, 0));
}

// Refusals leave text and selection as they were and let the editor draw again.
TEST_F(IndentCommandsTest, RefusalsSaySoOrStayQuiet)
{
    struct Case {
        const char* what;
        int button;
        const wchar_t* count;
        DWORD selectionStart, selectionEnd;
        UINT message;  // 0: no box
    };
    const Case cases[] = {
        {"indent, nothing selected", IDC_INDENT, L"4", 5, 5, IDS_NO_SELECTION},
        {"outdent, nothing selected", IDC_OUTDENT, L"4", 5, 5, 0},
        {"indent by a count too large to hold", IDC_INDENT, L"2147483647", 0, 12,
         IDS_INDENTED_TEXT_OUT_OF_MEMORY},
    };
    const std::wstring text = L"a\r\n  b\r\n  c\r\nd";
    for (const Case& c : cases) {
        SetWindowTextW(hEdit, text.c_str());
        SendMessageW(hEdit, EM_SETSEL, c.selectionStart, c.selectionEnd);
        SetCount(c.count);
        MessageBoxSeen box;
        {
            ModalDriver driver(c.message ? std::vector<ModalDriver::Action>{RecordMessageBox(&box)}
                                         : std::vector<ModalDriver::Action>{});
            PressCommandBarButton(c.button);
            PumpPendingMessages();
            EXPECT_TRUE(driver.finished()) << c.what;
            EXPECT_EQ(driver.unexpected(), 0) << c.what;
        }
        if (c.message) {
            EXPECT_EQ(box.caption, L"Błąd") << c.what;
            EXPECT_EQ(box.text, MessageText(c.message)) << c.what;
            EXPECT_EQ(box.owner, nullptr) << c.what;
        }
        EXPECT_EQ(WindowText(hEdit), text) << c.what;
        EXPECT_EQ(SelectionOf(hEdit), (Selection{c.selectionStart, c.selectionEnd})) << c.what;
        EXPECT_TRUE(IsWindowVisible(hEdit)) << c.what;
    }
}

}  // namespace
