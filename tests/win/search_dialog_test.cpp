// The search/replace dialog, opened by the Search button and by Ctrl+F and driven from inside
// its own modal loop as a user would: fields filled, buttons clicked, closed by key or mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/window_ops.h"
#include "resources/resource_ids.h"
#include "search/search_replace_dialog.h"
#include "tests/win/win_test_support.h"
#include "win32/dark_scheme.h"
#include "win32/process_state.h"

namespace {

// A mouse click on one of the dialog's buttons.
void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Escape pressed in one of the dialog's fields; the dialog's own loop takes it from the queue.
void PressEscapeIn(HWND dialog, int id)
{
    HWND field = GetDlgItem(dialog, id);
    SetFocus(field);
    PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(field, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

void CloseBox(HWND dialog)
{
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool IsLiveBrush(HBRUSH brush)
{
    return brush && GetObjectType(brush) == OBJ_BRUSH;
}

void PressCtrlF()
{
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] |= 0x80;
    SetKeyboardState(state);
    SendMessageW(hEdit, WM_KEYDOWN, 'F', 1);
    SetKeyboardState(saved);
}

// Ends a search dialog that a test meant to close but that stayed open, so that a fault fails
// the test instead of hanging it.
class Watchdog {
public:
    Watchdog() { timer_ = SetTimer(nullptr, 0, 5000, OnTimer); }
    ~Watchdog() { KillTimer(nullptr, timer_); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    static bool fired;

private:
    static BOOL CALLBACK EndSearchDialog(HWND window, LPARAM)
    {
        if (IsWindowVisible(window) && WindowText(window) == L"Search/Replace") {
            fired = true;
            PostMessageW(window, WM_COMMAND, IDC_SEARCH_OK, 0);
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        EnumThreadWindows(GetCurrentThreadId(), EndSearchDialog, 0);
    }

    UINT_PTR timer_ = 0;
};

bool Watchdog::fired = false;

class SearchDialogTest : public testing::Test {
protected:
    void SetUp() override { Watchdog::fired = false; }
    void TearDown() override
    {
        EXPECT_FALSE(Watchdog::fired) << "a dialog stayed open";
        SetWindowTextW(hEdit, L"");
    }

    Watchdog watchdog_;
};

TEST_F(SearchDialogTest, SearchTwiceReplaceAndEscape)
{
    SetWindowTextW(hEdit, L"int a;\r\nint b;");
    SendMessageW(hEdit, EM_SETSEL, 0, 0);

    struct Seen {
        bool topmost = false;
        std::wstring startFields;
        Selection first = {}, second = {};
        HWND focusAfterSearch = nullptr;
        std::wstring afterReplace, afterBreaksAdded;
        HBRUSH brush = nullptr;
    } seen;
    HWND dialog = nullptr;
    {
        ModalDriver driver({[&](HWND opened) {
            dialog = opened;
            seen.topmost = (GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            for (int id : {IDC_SEARCH_TEXT, IDC_SEARCH_FROM, IDC_SEARCH_TO})
                seen.startFields += WindowText(GetDlgItem(dialog, id));
            seen.brush = DialogBrush(dialog);

            SetDlgItemTextW(dialog, IDC_SEARCH_TEXT, L"int");
            Click(dialog, IDC_SEARCH_FIND);
            seen.first = SelectionOf(hEdit);
            seen.focusAfterSearch = GetFocus();
            Click(dialog, IDC_SEARCH_FIND);
            seen.second = SelectionOf(hEdit);

            SetDlgItemTextW(dialog, IDC_SEARCH_FROM, L";\\nint");
            SetDlgItemTextW(dialog, IDC_SEARCH_TO, L"; long");
            Click(dialog, IDC_SEARCH_REPLACE_ALL);
            seen.afterReplace = WindowText(hEdit);
            // "\n" in To brings in a line break.
            SetDlgItemTextW(dialog, IDC_SEARCH_FROM, L";");
            SetDlgItemTextW(dialog, IDC_SEARCH_TO, L";\\n");
            Click(dialog, IDC_SEARCH_REPLACE_ALL);
            seen.afterBreaksAdded = WindowText(hEdit);

            PressEscapeIn(dialog, IDC_SEARCH_TO);
        }});
        PressCommandBarButton(IDC_SEARCH);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0);
    }
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindow(dialog)) << "Escape closes the dialog";
    EXPECT_TRUE(seen.topmost);
    EXPECT_EQ(seen.startFields, L"");
    EXPECT_EQ(seen.first, (Selection{8, 11})) << "the occurrence after the caret";
    EXPECT_EQ(seen.focusAfterSearch, hEdit);
    EXPECT_EQ(seen.second, (Selection{0, 3})) << "wrapped to the start";
    EXPECT_EQ(seen.afterReplace, L"int a; long b;");
    EXPECT_EQ(seen.afterBreaksAdded, L"int a;\r\n long b;\r\n");
    EXPECT_TRUE(seen.brush);
    EXPECT_FALSE(IsLiveBrush(seen.brush)) << "the dialog's brush goes with it";
}

// An empty From text leaves the editor exactly as it was: text, selection and undo.
TEST_F(SearchDialogTest, ReplaceWithEmptyFromChangesNothing)
{
    SetWindowTextW(hEdit, L"abc");
    SendMessageW(hEdit, EM_SETSEL, 3, 3);
    SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"def"));
    SendMessageW(hEdit, EM_SETSEL, 1, 4);
    ASSERT_TRUE(SendMessageW(hEdit, EM_CANUNDO, 0, 0));
    std::wstring text;
    Selection selection = {};
    bool canUndo = false;
    {
        ModalDriver driver({[&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_SEARCH_TO, L"x");
            Click(dialog, IDC_SEARCH_REPLACE_ALL);
            text = WindowText(hEdit);
            selection = SelectionOf(hEdit);
            canUndo = SendMessageW(hEdit, EM_CANUNDO, 0, 0) != 0;
            Click(dialog, IDC_SEARCH_OK);
        }});
        PressCommandBarButton(IDC_SEARCH);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0) << "nothing is shown";
    }
    EXPECT_EQ(text, L"abcdef");
    EXPECT_EQ(selection, (Selection{1, 4}));
    EXPECT_TRUE(canUndo);
}

// OK, Escape and the close box all close the dialog and delete its brush, whichever opened it.
TEST_F(SearchDialogTest, ClosesAlikeOnOkEscapeAndCloseBox)
{
    struct Case {
        const char* how;
        void (*open)();
        void (*close)(HWND dialog);
    };
    const Case cases[] = {
        {"OK from the Search button", [] { PressCommandBarButton(IDC_SEARCH); },
         [](HWND dialog) { Click(dialog, IDC_SEARCH_OK); }},
        {"Escape from Ctrl+F", PressCtrlF, [](HWND dialog) { PressEscapeIn(dialog, IDC_SEARCH_TEXT); }},
        {"close box from the Search button", [] { PressCommandBarButton(IDC_SEARCH); }, CloseBox},
    };
    for (const Case& c : cases) {
        HWND dialog = nullptr;
        HBRUSH brush = nullptr;
        {
            ModalDriver driver({[&](HWND opened) {
                dialog = opened;
                brush = DialogBrush(dialog);
                EXPECT_TRUE(IsLiveBrush(brush)) << c.how;
                c.close(dialog);
            }});
            c.open();
            EXPECT_TRUE(driver.finished()) << c.how;
            EXPECT_EQ(driver.unexpected(), 0) << c.how;
        }
        ASSERT_TRUE(dialog) << c.how;
        EXPECT_FALSE(IsWindow(dialog)) << c.how;
        EXPECT_FALSE(IsLiveBrush(brush)) << c.how;
    }
}

// A second dialog, opened from the command bar while the first is open, has its own brush and
// closes without taking the first one's.
TEST_F(SearchDialogTest, SecondDialogClosesWithoutTouchingTheFirst)
{
    HWND first = nullptr;
    HWND second = nullptr;
    HBRUSH firstBrush = nullptr;
    HBRUSH secondBrush = nullptr;
    bool firstBrushLiveAfterSecond = false;
    HBRUSH firstStaticsPaintWith = nullptr;
    {
        ModalDriver driver({
            [&](HWND dialog) {
                first = dialog;
                firstBrush = DialogBrush(first);
                PressCommandBarButton(IDC_SEARCH);  // runs the second dialog to its end
                firstBrushLiveAfterSecond = IsLiveBrush(firstBrush);
                HDC dc = GetDC(first);
                firstStaticsPaintWith = reinterpret_cast<HBRUSH>(SendMessageW(
                    first, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                    reinterpret_cast<LPARAM>(GetDlgItem(first, IDC_SEARCH_LABEL))));
                ReleaseDC(first, dc);
                Click(first, IDC_SEARCH_OK);
            },
            [&](HWND dialog) {
                second = dialog;
                secondBrush = DialogBrush(second);
                CloseBox(second);
            },
        });
        PressCommandBarButton(IDC_SEARCH);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0);
    }
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_TRUE(firstBrush);
    EXPECT_TRUE(secondBrush);
    EXPECT_NE(firstBrush, secondBrush);
    EXPECT_TRUE(firstBrushLiveAfterSecond);
    EXPECT_EQ(firstStaticsPaintWith, firstBrush);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(IsLiveBrush(secondBrush));
}

}  // namespace
