// The editor's history with real keys: every kind of change is taken back by one Ctrl+Z and made
// again by one Ctrl+Y, with its selection; the unsaved mark follows the history.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/editor_history.h"
#include "files/text_file.h"
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

void SetCount(const wchar_t* count)
{
    SetWindowTextW(GetDlgItem(hTopBar, IDC_COUNT_FIELD), count);
}

void PutOnClipboard(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(mHwnd));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::wmemcpy(static_cast<wchar_t*>(GlobalLock(memory)), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// Presses a chord on the real keyboard path and waits until the editor shows `text`.
bool Chord(std::initializer_list<WORD> keys, const std::wstring& text)
{
    return SendKeyEventsUntil(KeyChord(keys), [&] { return WindowText(hEdit) == text; });
}

bool Keys(std::initializer_list<WORD> keys, const std::wstring& text)
{
    return SendKeyEventsUntil(KeyStrokes(keys), [&] { return WindowText(hEdit) == text; });
}

class EditHistoryTest : public testing::Test {
protected:
    void SetUp() override
    {
        current_file[0] = L'\0';
        SetWindowTextW(hEdit, L"");
        SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
        SetFocus(hEdit);
        SetCount(L"2");
    }
    void TearDown() override { SetCount(L"1"); }
    void Loaded(const std::wstring& text, DWORD start, DWORD end)
    {
        SetWindowTextW(hEdit, text.c_str());
        SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
        SendMessageW(hEdit, EM_SETSEL, start, end);
    }
};

// Each kind of change from the text and selection it found to the text it left: one Ctrl+Z
// gives back both, one Ctrl+Y makes the change again.
TEST_F(EditHistoryTest, OneUndoAndOneRedoForEveryKindOfChange)
{
    struct Case {
        const char* kind;
        std::wstring text;
        Selection selection;
        std::function<void()> change;
        std::wstring after;
    };
    const Case cases[] = {
        {"a typed run", L"int ;", {4, 4}, [] { TypeOnKeyboard(L"abc", [] { return WindowText(hEdit) == L"int abc;"; }); },
         L"int abc;"},
        {"typing over a selection", L"int abc;", {4, 7}, [] { TypeOnKeyboard(L"xy", [] { return WindowText(hEdit) == L"int xy;"; }); },
         L"int xy;"},
        {"Backspaces in a row", L"int abc;", {7, 7}, [] { Keys({VK_BACK, VK_BACK}, L"int a;"); }, L"int a;"},
        {"Backspace over a line break", L"a\r\nb", {3, 3}, [] { Keys({VK_BACK}, L"ab"); }, L"ab"},
        {"Deletes in a row", L"int abc;", {4, 4}, [] { Keys({VK_DELETE, VK_DELETE}, L"int c;"); }, L"int c;"},
        {"Enter", L"  int a;", {8, 8}, [] { Keys({VK_RETURN}, L"  int a;\r\n  "); }, L"  int a;\r\n  "},
        {"Enter with a selection", L"  abc", {3, 4}, [] { Keys({VK_RETURN}, L"  a\r\n  bc"); }, L"  a\r\n  bc"},
        {"Shift+Enter", L"ab", {0, 0}, [] { Chord({VK_SHIFT, VK_RETURN}, L"\r\nab"); }, L"\r\nab"},
        {"Shift+Space", L"ab", {1, 1}, [] { Chord({VK_SHIFT, VK_SPACE}, L"a      b"); }, L"a      b"},
        {"cut", L"int abc;", {4, 7}, [] { Chord({VK_CONTROL, 'X'}, L"int ;"); }, L"int ;"},
        {"paste over a selection", L"int abc;", {4, 7},
         [] {
             PutOnClipboard(L"x = 1");
             Chord({VK_CONTROL, 'V'}, L"int x = 1;");
         },
         L"int x = 1;"},
        {"indent", L"a\r\nb\r\nc", {0, 7}, [] { PressCommandBarButton(IDC_INDENT); }, L"  a\r\n  b\r\n  c"},
        {"outdent", L"a\r\n   b", {0, 7}, [] { PressCommandBarButton(IDC_OUTDENT); }, L"a\r\n b"},
        {"Replace", L"suma = suma + 1;", {3, 5}, [] { replaceExactTextInEdit(hEdit, L"suma", L"wynik"); },
         L"wynik = wynik + 1;"},
    };
    for (const Case& c : cases) {
        Loaded(c.text, c.selection.start, c.selection.end);
        c.change();
        ASSERT_EQ(WindowText(hEdit), c.after) << c.kind;
        const Selection after = SelectionOf(hEdit);
        ASSERT_TRUE(Chord({VK_CONTROL, 'Z'}, c.text)) << c.kind << ": one Ctrl+Z";
        EXPECT_EQ(SelectionOf(hEdit), c.selection) << c.kind;
        EXPECT_FALSE(Modified()) << c.kind << ": back at the text as loaded";
        ASSERT_TRUE(Chord({VK_CONTROL, 'Y'}, c.after)) << c.kind << ": one Ctrl+Y";
        EXPECT_EQ(SelectionOf(hEdit), after) << c.kind;
        EXPECT_TRUE(Modified()) << c.kind;
    }
}

// Type, Replace and indent, then three Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z; a search's selection in
// between is no step.
TEST_F(EditHistoryTest, ThreeStepsBackAndForthWithRealKeys)
{
    Loaded(L"int a;\r\nint b;", 5, 5);
    ASSERT_TRUE(TypeOnKeyboard(L"bc", [] { return WindowText(hEdit) == L"int abc;\r\nint b;"; }));
    replaceExactTextInEdit(hEdit, L"int", L"long");
    SendMessageW(hEdit, EM_SETSEL, 0, -1);
    PressCommandBarButton(IDC_INDENT);
    ASSERT_EQ(WindowText(hEdit), L"  long abc;\r\n  long b;");
    findTextInEdit(hEdit, L"abc");
    ASSERT_EQ(SelectionOf(hEdit), (Selection{7, 10}));

    ASSERT_TRUE(Chord({VK_CONTROL, 'Z'}, L"long abc;\r\nlong b;"));
    EXPECT_EQ(SelectionOf(hEdit), (Selection{0, 18})) << "the indent's selection";
    ASSERT_TRUE(Chord({VK_CONTROL, 'Z'}, L"int abc;\r\nint b;"));
    EXPECT_EQ(SelectionOf(hEdit), (Selection{7, 7})) << "the caret before Replace";
    ASSERT_TRUE(Chord({VK_CONTROL, 'Z'}, L"int a;\r\nint b;"));
    EXPECT_EQ(SelectionOf(hEdit), (Selection{5, 5}));
    EXPECT_FALSE(SendMessageW(hEdit, EM_CANUNDO, 0, 0)) << "opening the text started the history";

    ASSERT_TRUE(Chord({VK_CONTROL, 'Y'}, L"int abc;\r\nint b;"));
    ASSERT_TRUE(Chord({VK_CONTROL, VK_SHIFT, 'Z'}, L"long abc;\r\nlong b;"));
    EXPECT_EQ(SelectionOf(hEdit), (Selection{0, 0})) << "Replace leaves the caret at the start";
}

// Undo far from where the view stands scrolls the change into view.
TEST_F(EditHistoryTest, UndoScrollsToTheChange)
{
    std::wstring text;
    for (int line = 0; line < 300; ++line)
        text += L"int x" + std::to_wstring(line) + L";\r\n";
    Loaded(text, static_cast<DWORD>(text.size()), static_cast<DWORD>(text.size()));
    SendMessageW(hEdit, EM_SCROLLCARET, 0, 0);
    ASSERT_TRUE(TypeOnKeyboard(L"koniec", [&] { return WindowText(hEdit) == text + L"koniec"; }));
    SendMessageW(hEdit, WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(SendMessageW(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    ASSERT_TRUE(Chord({VK_CONTROL, 'Z'}, text));
    EXPECT_GT(SendMessageW(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0), 250);
}

// Saved, changed, undone to the saved text: the mark goes, and the close question with it.
TEST_F(EditHistoryTest, TheUnsavedMarkFollowsTheHistory)
{
    TempFolder folder;
    const std::wstring path = folder.Path(L"main.c");
    Loaded(L"int a;", 6, 6);
    ASSERT_TRUE(TypeOnKeyboard(L" b", [] { return WindowText(hEdit) == L"int a; b"; }));
    lstrcpynW(current_file, path.c_str(), kCurrentFileCapacity);
    ASSERT_TRUE(SaveEditorText(false));
    EXPECT_FALSE(Modified());

    ASSERT_TRUE(TypeOnKeyboard(L"c", [] { return WindowText(hEdit) == L"int a; bc"; }));
    EXPECT_TRUE(Modified());
    ASSERT_TRUE(Chord({VK_CONTROL, 'Z'}, L"int a; b"));
    EXPECT_FALSE(Modified()) << "the text is the one on disk";
    {
        ModalDriver driver({});
        EXPECT_TRUE(KeepChangesBeforeLeaving(mHwnd));
        EXPECT_EQ(driver.unexpected(), 0) << "nothing to ask about";
    }
    ASSERT_TRUE(Chord({VK_CONTROL, 'Z'}, L"int a;"));
    EXPECT_TRUE(Modified()) << "before the save";
    ASSERT_TRUE(Chord({VK_CONTROL, 'Y'}, L"int a; b"));
    EXPECT_FALSE(Modified());
}

// A step that cannot be kept for lack of memory empties the history and says so in the pane,
// and the text keeps the change.
TEST_F(EditHistoryTest, AStepWithoutMemoryEmptiesTheHistoryAndSaysSo)
{
    Loaded(L"abc", 3, 3);
    ASSERT_TRUE(TypeOnKeyboard(L"d", [] { return WindowText(hEdit) == L"abcd"; }));
    SetWindowTextW(hOutput, L"");
    // A Replace whose changes could not be listed.
    SetEditorTextAsStep(hEdit, u"xyz", std::nullopt);
    EXPECT_EQ(WindowText(hEdit), L"xyz");
    EXPECT_FALSE(SendMessageW(hEdit, EM_CANUNDO, 0, 0));
    EXPECT_NE(WindowText(hOutput).find(MessageText(IDS_HISTORY_OUT_OF_MEMORY)), std::wstring::npos);
    EXPECT_TRUE(Modified()) << "the text is not the saved one";
    SendMessageW(hEdit, WM_UNDO, 0, 0);
    EXPECT_EQ(WindowText(hEdit), L"xyz");
}

}  // namespace
