// The editor's own keys, sent as the key and character messages a keyboard produces, with
// the modifier keys held in the thread's keyboard state.
#include <gtest/gtest.h>

#include <string>

#include "win32/window_ops.h"
#include "editor/editor_keys.h"
#include "files/text_file.h"
#include "output/output_pane.h"
#include "tests/win/win_test_support.h"
#include "win32/process_state.h"

namespace {

// Holds modifier keys down in this thread's key state for as long as it lives.
class HeldKeys {
public:
    HeldKeys(std::initializer_list<int> keys)
    {
        GetKeyboardState(saved_);
        BYTE state[256];
        GetKeyboardState(state);
        for (int key : keys)
            state[key] |= 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

void TypeChar(wchar_t character)
{
    SendMessageW(hEdit, WM_CHAR, character, 1);
}

void KeyDown(int key)
{
    SendMessageW(hEdit, WM_KEYDOWN, key, 1);
}

void SetText(const std::wstring& text, int selectionStart, int selectionEnd)
{
    SetWindowTextW(hEdit, text.c_str());
    SendMessageW(hEdit, EM_SETSEL, selectionStart, selectionEnd);
}

class EditorKeysTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetWindowTextW(hEdit, L"");
        BYTE state[256] = {};
        SetKeyboardState(state);
    }
    void TearDown() override { SetWindowTextW(hEdit, L""); }
};

TEST_F(EditorKeysTest, EnterKeepsTheIndentationOfTheLineAbove)
{
    struct Case {
        const char* what;
        std::wstring text;
        int selectionStart, selectionEnd;
        wchar_t key;  // Enter sends CR, Ctrl+Enter LF
        std::wstring after;
        DWORD caret;
    };
    const Case cases[] = {
        {"four spaces, caret at the end", L"    x = 1;", 10, 10, L'\r', L"    x = 1;\r\n    ", 16},
        {"caret between two leading spaces", L"  word", 1, 1, L'\r', L" \r\n   word", 5},
        {"tab indent is kept", L"\tx", 2, 2, L'\r', L"\tx\r\n\t", 5},
        {"second line", L"a\r\n  b", 6, 6, L'\r', L"a\r\n  b\r\n  ", 10},
        {"lone LF ends a line", L"a\n  b", 5, 5, L'\r', L"a\n  b\r\n  ", 9},
        {"selection stays in place", L"  abc def", 3, 6, L'\r', L"  a\r\n  bc def", 7},
        {"Ctrl+Enter like Enter", L"    x", 5, 5, L'\n', L"    x\r\n    ", 11},
    };
    for (const Case& c : cases) {
        SetText(c.text, c.selectionStart, c.selectionEnd);
        TypeChar(c.key);
        EXPECT_EQ(WindowText(hEdit), c.after) << c.what;
        const Selection after = SelectionOf(hEdit);
        EXPECT_EQ(after.start, c.caret) << c.what;
        EXPECT_EQ(after.end, c.caret) << c.what;
        // One undo takes the whole line break back, to the selection it found.
        SendMessageW(hEdit, WM_UNDO, 0, 0);
        EXPECT_EQ(WindowText(hEdit), c.text) << c.what;
        EXPECT_EQ(SelectionOf(hEdit), (Selection{static_cast<DWORD>(c.selectionStart), static_cast<DWORD>(c.selectionEnd)}))
            << c.what;
    }
}

TEST_F(EditorKeysTest, EnterHasNoLimitOnTheIndentation)
{
    const std::wstring indent(5000, L' ');
    SetText(indent + L"x", 5001, 5001);
    TypeChar(L'\r');
    EXPECT_EQ(WindowText(hEdit), indent + L"x\r\n" + indent);
}

TEST_F(EditorKeysTest, ShiftEnterAlignsUnderTheCaret)
{
    HeldKeys shift({VK_SHIFT});

    SetText(L"abc\r\n", 5, 5);  // caret at the start of a line
    TypeChar(L'\r');
    EXPECT_EQ(WindowText(hEdit), L"abc\r\n\r\n");

    // In the proportional start font: as many spaces as fit in the width of the text before the caret.
    const std::wstring prefix = L"if (x) WWW";
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, hNormalFont);
    const int prefixWidth = CalculateTextWidth(dc, prefix.c_str());
    const int spaceWidth = CalculateTextWidth(dc, L" ");
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_GT(spaceWidth, 0);
    const std::size_t fitting = static_cast<std::size_t>(prefixWidth / spaceWidth);
    ASSERT_NE(fitting, prefix.size()) << "the start font should be proportional";

    SetText(prefix + L" tail", 10, 10);
    TypeChar(L'\r');
    EXPECT_EQ(WindowText(hEdit), prefix + L"\r\n" + std::wstring(fitting, L' ') + L" tail");
    SendMessageW(hEdit, WM_UNDO, 0, 0);
    EXPECT_EQ(WindowText(hEdit), prefix + L" tail");
}

TEST_F(EditorKeysTest, ShiftEnterInAFixedPitchFontKeepsTheColumn)
{
    HFONT fixed = CreateFontW(18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    ASSERT_TRUE(fixed);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, fixed);
    const int seven = CalculateTextWidth(dc, L"int x =");
    const int space = CalculateTextWidth(dc, L" ");
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_EQ(seven, 7 * space) << "no fixed-pitch font under this name";

    HFONT saved = hNormalFont;
    hNormalFont = fixed;
    SetText(L"int x = 1;", 7, 7);  // seven characters before the caret
    {
        HeldKeys shift({VK_SHIFT});
        TypeChar(L'\r');
    }
    hNormalFont = saved;
    DeleteObject(fixed);
    EXPECT_EQ(WindowText(hEdit), L"int x =\r\n        1;");
}

TEST_F(EditorKeysTest, ShiftSpaceTypesSixSpaces)
{
    SetText(L"ab", 1, 1);
    {
        HeldKeys shift({VK_SHIFT});
        TypeChar(L' ');
    }
    EXPECT_EQ(WindowText(hEdit), L"a      b");

    SetText(L"xSELECTEDy", 1, 9);
    {
        HeldKeys shift({VK_SHIFT});
        TypeChar(L' ');
    }
    EXPECT_EQ(WindowText(hEdit), L"x      y");

    SetText(L"ab", 1, 1);
    TypeChar(L' ');  // without Shift: one space
    EXPECT_EQ(WindowText(hEdit), L"a b");
}

TEST_F(EditorKeysTest, CtrlASelectsAllButAltGrLeavesTheSelection)
{
    SetText(L"line one\r\nline two", 3, 3);
    {
        HeldKeys ctrl({VK_CONTROL});
        KeyDown('A');
    }
    Selection all = SelectionOf(hEdit);
    EXPECT_EQ(all.start, 0u);
    EXPECT_EQ(all.end, 18u);

    SendMessageW(hEdit, EM_SETSEL, 3, 3);
    {
        HeldKeys altGr({VK_CONTROL, VK_MENU});
        KeyDown('A');
    }
    Selection kept = SelectionOf(hEdit);
    EXPECT_EQ(kept.start, 3u);
    EXPECT_EQ(kept.end, 3u);

    KeyDown('A');  // without Ctrl it is an ordinary key
    kept = SelectionOf(hEdit);
    EXPECT_EQ(kept.start, 3u);
}

TEST_F(EditorKeysTest, CtrlOOpensAndCtrlSAlwaysAsks)
{
    TempFolder folder;
    const std::wstring source = folder.Path(L"in.c");
    WriteFileBytes(source, {'a', '\r', '\n', 'b'});
    {
        HeldKeys ctrl({VK_CONTROL});
        ModalDriver driver({ChooseFile(source)});
        KeyDown('O');
        EXPECT_EQ(driver.handled(), 1);
    }
    EXPECT_EQ(WindowText(hEdit), L"a\r\nb");
    EXPECT_EQ(std::wstring(current_file), source);

    // Ctrl+S asks although a file is current, and its name field starts empty.
    const std::wstring target = folder.Path(L"out.c");
    std::wstring offeredName = L"?";
    {
        HeldKeys ctrl({VK_CONTROL});
        ModalDriver driver({[&](HWND dialog) {
            wchar_t name[MAX_PATH] = {};
            GetDlgItemTextW(dialog, 0x47C, name, MAX_PATH);
            offeredName = name;
            ChooseFile(target)(dialog);
        }});
        KeyDown('S');
        EXPECT_EQ(driver.handled(), 1);
    }
    EXPECT_EQ(offeredName, L"");
    EXPECT_EQ(std::wstring(current_file), target);
    EXPECT_EQ(ReadFileBytes(target), (std::vector<unsigned char>{'a', '\r', '\n', 'b'}));

    // AltGr+O and AltGr+S are letters on a Polish keyboard: no dialog opens.
    {
        HeldKeys altGr({VK_CONTROL, VK_MENU});
        ModalDriver driver({});
        KeyDown('O');
        KeyDown('S');
        EXPECT_EQ(driver.unexpected(), 0);
    }
    current_file[0] = L'\0';
    SetWindowTextW(mHwnd, L"");
}

TEST_F(EditorKeysTest, ShortcutsBelongToTheEditorOnly)
{
    SetText(L"text", 2, 2);
    HeldKeys ctrl({VK_CONTROL});
    SendMessageW(hOutput, WM_KEYDOWN, 'A', 1);
    const Selection selection = SelectionOf(hEdit);
    EXPECT_EQ(selection.start, 2u);
    EXPECT_EQ(selection.end, 2u);
}

}  // namespace
