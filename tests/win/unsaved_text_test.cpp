// Changed text is never dropped: what marks the text changed, the question before Open and
// before closing, and a cancelled save dialog. Typing goes through the real keyboard input.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "search/search_replace_dialog.h"
#include "tests/win/win_test_support.h"
#include "win32/messages.h"
#include "win32/process_state.h"

namespace {

bool Modified()
{
    return SendMessageW(hEdit, EM_GETMODIFY, 0, 0) != 0;
}

// Answers the "unsaved changes" box with `answer`, after checking it is that box.
ModalDriver::Action AnswerUnsaved(int answer, bool* seen)
{
    return [answer, seen](HWND box) {
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        *seen = WindowText(box) == L"Niezapisane zmiany" && text == MessageText(IDS_UNSAVED_CHANGES);
        PostMessageW(box, WM_COMMAND, answer, 0);
    };
}

class UnsavedTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        current_file[0] = L'\0';
        SetWindowTextW(mHwnd, L"");
        SetWindowTextW(hEdit, L"");
        SetFocus(hEdit);
    }
    void TearDown() override
    {
        SetUp();
        SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
    }

    // Text as after loading a file: unchanged since.
    void Loaded(const std::wstring& text)
    {
        SetWindowTextW(hEdit, text.c_str());
        SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
        SendMessageW(hEdit, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
    }

    TempFolder folder_;
};

// Every way the editor's commands change the text marks it changed; typing is the control's own.
TEST_F(UnsavedTextTest, EveryChangeMarksTheText)
{
    Loaded(L"  a");
    ASSERT_TRUE(TypeOnKeyboard(L"b", [] { return WindowText(hEdit) == L"  ab"; }));
    EXPECT_TRUE(Modified()) << "typing";

    Loaded(L"  a");
    ASSERT_TRUE(TypeOnKeyboard(L"\r", [] { return WindowText(hEdit) == L"  a\r\n  "; }));
    EXPECT_TRUE(Modified()) << "Enter";

    Loaded(L"a\r\nb");
    SendMessageW(hEdit, EM_SETSEL, 0, 4);
    PressCommandBarButton(IDC_INDENT);
    EXPECT_EQ(WindowText(hEdit), L" a\r\n b");
    EXPECT_TRUE(Modified()) << "indent";

    // Replace sets the whole text anew, which clears the control's own flag.
    Loaded(L"x = 1; x = 2;");
    replaceExactTextInEdit(hEdit, L"x", L"y");
    EXPECT_EQ(WindowText(hEdit), L"y = 1; y = 2;");
    EXPECT_TRUE(Modified()) << "Replace";

    // A replace that finds nothing neither marks unchanged text nor forgets a change.
    Loaded(L"abc");
    replaceExactTextInEdit(hEdit, L"zzz", L"y");
    EXPECT_FALSE(Modified());
    SendMessageW(hEdit, EM_SETMODIFY, TRUE, 0);
    replaceExactTextInEdit(hEdit, L"zzz", L"y");
    EXPECT_TRUE(Modified());
}

TEST_F(UnsavedTextTest, OpenAsksFirstWhenTheTextChanged)
{
    const std::wstring other = folder_.Path(L"inny.c");
    WriteFileBytes(other, {'n', 'e', 'w'});

    // Nothing changed: straight to the open dialog.
    Loaded(L"old");
    {
        ModalDriver driver({ChooseFile(other)});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_EQ(driver.handled(), 1);
        EXPECT_EQ(driver.unexpected(), 0);
    }
    EXPECT_EQ(WindowText(hEdit), L"new");
    EXPECT_FALSE(Modified()) << "a loaded file is unchanged";

    // Cancel: the open dialog never shows and the text stays.
    Loaded(L"old");
    ASSERT_TRUE(TypeOnKeyboard(L"!", [] { return WindowText(hEdit) == L"old!"; }));
    bool asked = false;
    {
        ModalDriver driver({AnswerUnsaved(IDCANCEL, &asked)});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0);
    }
    EXPECT_TRUE(asked);
    EXPECT_EQ(WindowText(hEdit), L"old!");
    EXPECT_TRUE(Modified());

    // No: the changes go and the file is opened.
    asked = false;
    {
        ModalDriver driver({AnswerUnsaved(IDNO, &asked), ChooseFile(other)});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_TRUE(asked);
    EXPECT_EQ(WindowText(hEdit), L"new");

    // Yes with no current file: saved through the save dialog first, then the file is opened.
    const std::wstring saved = folder_.Path(L"zmiany.c");
    current_file[0] = L'\0';
    SendMessageW(hEdit, EM_SETSEL, 3, 3);
    ASSERT_TRUE(TypeOnKeyboard(L"!", [] { return WindowText(hEdit) == L"new!"; }));
    asked = false;
    {
        ModalDriver driver({AnswerUnsaved(IDYES, &asked), ChooseFile(saved), ChooseFile(other)});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0);
    }
    EXPECT_TRUE(asked);
    EXPECT_EQ(ReadFileBytes(saved), (std::vector<unsigned char>{'n', 'e', 'w', '!'}));
    EXPECT_EQ(WindowText(hEdit), L"new");
    EXPECT_EQ(std::wstring(current_file), other);

    // Yes, then the save dialog cancelled: nothing is opened and the changes stay.
    SendMessageW(hEdit, EM_SETSEL, 3, 3);
    ASSERT_TRUE(TypeOnKeyboard(L"?", [] { return WindowText(hEdit) == L"new?"; }));
    current_file[0] = L'\0';
    {
        ModalDriver driver({AnswerUnsaved(IDYES, &asked), CancelDialog()});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0) << "no open dialog after a save that did not happen";
    }
    EXPECT_EQ(WindowText(hEdit), L"new?");
    EXPECT_TRUE(Modified());
}

// Closing with Cancel keeps the window; the answers that close it are shown by the black-box
// tests, which start the real program.
TEST_F(UnsavedTextTest, CloseCancelledKeepsTheWindowAndTheText)
{
    Loaded(L"int a;");
    ASSERT_TRUE(TypeOnKeyboard(L"b", [] { return WindowText(hEdit) == L"int a;b"; }));
    bool asked = false;
    {
        ModalDriver driver({AnswerUnsaved(IDCANCEL, &asked)});
        SendMessageW(mHwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_TRUE(asked);
    EXPECT_TRUE(IsWindow(mHwnd));
    EXPECT_EQ(WindowText(hEdit), L"int a;b");
    EXPECT_EQ(GetFocus(), hEdit);
}

TEST_F(UnsavedTextTest, OnlyASaveThatHappenedClearsTheMark)
{
    const std::wstring path = folder_.Path(L"plik.c");
    Loaded(L"x");
    ASSERT_TRUE(TypeOnKeyboard(L"y", [] { return WindowText(hEdit) == L"xy"; }));
    {
        ModalDriver driver({CancelDialog()});
        PressCommandBarButton(IDC_SAVE_AS);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_TRUE(Modified()) << "nothing was saved";
    {
        ModalDriver driver({ChooseFile(path)});
        PressCommandBarButton(IDC_SAVE);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(ReadFileBytes(path), (std::vector<unsigned char>{'x', 'y'}));
    EXPECT_FALSE(Modified());
}

// The save dialogs have no owner, so the editor still takes keys while one is open; what was
// typed meanwhile is written too, on Save and on the question's Yes alike.
TEST_F(UnsavedTextTest, TextTypedWhileTheSaveDialogIsOpenIsSavedToo)
{
    const auto typeThenChoose = [](const std::wstring& path) {
        return [path](HWND dialog) {
            for (const wchar_t c : std::wstring(L"def"))
                PostMessageW(hEdit, WM_CHAR, c, 1);
            ChooseFile(path)(dialog);
        };
    };
    const std::wstring onSave = folder_.Path(L"zapis.c");
    const std::wstring onQuestion = folder_.Path(L"pytanie.c");
    const std::wstring other = folder_.Path(L"inny.c");
    WriteFileBytes(other, {'n'});
    const std::vector<unsigned char> all{'a', 'b', 'c', 'd', 'e', 'f'};

    Loaded(L"");
    ASSERT_TRUE(TypeOnKeyboard(L"abc", [] { return WindowText(hEdit) == L"abc"; }));
    {
        ModalDriver driver({typeThenChoose(onSave)});
        PressCommandBarButton(IDC_SAVE);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(WindowText(hEdit), L"abcdef");
    EXPECT_EQ(ReadFileBytes(onSave), all);
    EXPECT_FALSE(Modified());

    current_file[0] = L'\0';
    Loaded(L"");
    ASSERT_TRUE(TypeOnKeyboard(L"abc", [] { return WindowText(hEdit) == L"abc"; }));
    bool asked = false;
    {
        ModalDriver driver({AnswerUnsaved(IDYES, &asked), typeThenChoose(onQuestion), ChooseFile(other)});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_TRUE(asked);
    EXPECT_EQ(ReadFileBytes(onQuestion), all);
}

// A log-off or shutdown asks as closing does: Cancel refuses the end of the session, No and a
// save that happened let it go, and unchanged text is not asked about.
TEST_F(UnsavedTextTest, TheEndOfTheSessionAsksAsClosingDoes)
{
    const std::wstring path = folder_.Path(L"sesja.c");
    struct Case {
        int answer;
        LRESULT endAllowed;
    };
    for (const Case c : {Case{IDCANCEL, FALSE}, Case{IDNO, TRUE}, Case{IDYES, TRUE}}) {
        current_file[0] = L'\0';
        Loaded(L"int a;");
        ASSERT_TRUE(TypeOnKeyboard(L"b", [] { return WindowText(hEdit) == L"int a;b"; }));
        bool asked = false;
        std::vector<ModalDriver::Action> actions{AnswerUnsaved(c.answer, &asked)};
        if (c.answer == IDYES)
            actions.push_back(ChooseFile(path));
        LRESULT allowed = -1;
        {
            ModalDriver driver(actions);
            allowed = SendMessageW(mHwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            EXPECT_TRUE(driver.finished()) << c.answer;
        }
        EXPECT_TRUE(asked) << c.answer;
        EXPECT_EQ(allowed, c.endAllowed) << c.answer;
        EXPECT_TRUE(IsWindow(mHwnd));
        EXPECT_EQ(WindowText(hEdit), L"int a;b");
        EXPECT_EQ(Modified(), c.answer != IDYES) << c.answer;
    }
    EXPECT_EQ(ReadFileBytes(path), (std::vector<unsigned char>{'i', 'n', 't', ' ', 'a', ';', 'b'}));

    // Unchanged text: no box, and the session may end.
    Loaded(L"saved");
    ModalDriver none({});
    EXPECT_EQ(SendMessageW(mHwnd, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(none.unexpected(), 0);
}

}  // namespace
