// The code view on the running editor: the gutter's numbers follow the view, a compile's
// messages mark their lines and F4 reaches them, and the colours lie exactly where the edit
// control draws its own text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/code_view.h"
#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "win32/main_layout.h"
#include "win32/process_state.h"

namespace {

std::wstring Lines(int count)
{
    std::wstring text;
    for (int i = 1; i <= count; ++i) {
        text += L"int x" + std::to_wstring(i) + L";";
        if (i == 200)
            text += L" //--?05";
        if (i < count)
            text += L"\r\n";
    }
    return text;
}

int LineStart(int line)
{
    return static_cast<int>(SendMessageW(hEdit, EM_LINEINDEX, static_cast<WPARAM>(line - 1), 0));
}

class CodeViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        lstrcpynW(savedFile_, current_file, kCurrentFileCapacity);
        savedSettings_ = ustawienia;
        SetWindowTextW(hEdit, L"");
        SetOutputText(L"");
    }
    void TearDown() override
    {
        lstrcpynW(current_file, savedFile_, kCurrentFileCapacity);
        ustawienia = savedSettings_;
        ShowCodeColours(CodeColours::Scheme);
        SetWindowTextW(hEdit, L"");
        SetOutputText(L"");
        PumpPendingMessages();
    }

private:
    wchar_t savedFile_[kCurrentFileCapacity] = {};
    Settings savedSettings_{};
};

TEST_F(CodeViewTest, TheGutterStandsBesideTheEditorAndItsFirstNumberFollowsTheView)
{
    SetWindowTextW(hEdit, L"int x;");
    PumpPendingMessages();
    const LayoutRect narrow = PlaceInParent(hGutter);
    SetWindowTextW(hEdit, Lines(300).c_str());
    PumpPendingMessages();
    const LayoutRect gutter = PlaceInParent(hGutter);
    const LayoutRect editor = PlaceInParent(hEdit);
    EXPECT_TRUE(IsWindowVisible(hGutter));
    EXPECT_GT(gutter.width, narrow.width) << "three digits need more room than one";
    EXPECT_EQ(gutter.x + gutter.width, editor.x);
    EXPECT_EQ(gutter.y, editor.y);
    EXPECT_EQ(gutter.height, editor.height);
    EXPECT_EQ(GutterFirstNumber(), 1u);

    SendMessageW(hEdit, EM_LINESCROLL, 0, 50);
    EXPECT_EQ(GutterFirstNumber(), 51u);
    SendMessageW(hEdit, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    const auto afterWheel = static_cast<std::size_t>(SendMessageW(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0)) + 1;
    EXPECT_GT(afterWheel, 51u);
    EXPECT_EQ(GutterFirstNumber(), afterWheel);

    // The jump bar's button 5 scrolls to the marker on line 200.
    SendMessageW(hJump, WM_COMMAND, MAKEWPARAM(IDC_FIRST_JUMP + 5, BN_CLICKED),
                 reinterpret_cast<LPARAM>(okno_skoku.windows[5]));
    PumpPendingMessages();
    const auto afterJump = static_cast<std::size_t>(SendMessageW(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0)) + 1;
    EXPECT_NE(afterJump, afterWheel);
    EXPECT_EQ(GutterFirstNumber(), afterJump);

    // The whole text going leaves the gutter its narrow width again.
    SetWindowTextW(hEdit, L"int x;");
    PumpPendingMessages();
    EXPECT_EQ(PlaceInParent(hGutter).width, narrow.width);
    EXPECT_EQ(GutterFirstNumber(), 1u);
}

COLORREF GutterPixelAtLine(int line)
{
    RECT format = {};
    SendMessageW(hEdit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const POINT position = [line] {
        const auto packed = static_cast<DWORD>(SendMessageW(hEdit, EM_POSFROMCHAR, LineStart(line), 0));
        return POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
    }();
    POINT inGutter = {0, position.y + 8};
    MapWindowPoints(hEdit, hGutter, &inGutter, 1);
    UpdateWindow(hGutter);
    HDC dc = GetDC(hGutter);
    const COLORREF pixel = GetPixel(dc, 4, inGutter.y);
    ReleaseDC(hGutter, dc);
    return pixel;
}

constexpr COLORREF kErrorMark = RGB(235, 60, 60);
constexpr COLORREF kWarningMark = RGB(230, 170, 30);

Selection SelectionAt(int line, int column)
{
    const auto at = static_cast<DWORD>(LineStart(line) + column - 1);
    return {at, at};
}

TEST_F(CodeViewTest, ACompilesMessagesMarkTheirLinesAndF4ReachesThem)
{
    lstrcpynW(current_file, L"C:\\kurs\\main.c", kCurrentFileCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective),
              L"echo main.c:2:3: error: one& echo other.c:3:1: error: elsewhere& echo main.c:5:2: warning: two",
              kDirectiveUnits);
    SetWindowTextW(hEdit, L"a\r\nbbbb\r\ncc\r\ndd\r\neeee\r\nff");
    SendMessageW(hEdit, EM_SETSEL, 0, 0);
    PressCommandBarButton(IDC_COMPILE);
    PumpPendingMessages();
    EXPECT_EQ(GutterPixelAtLine(2), kErrorMark);
    EXPECT_EQ(GutterPixelAtLine(5), kWarningMark);
    EXPECT_NE(GutterPixelAtLine(3), kErrorMark) << "another file's message marks nothing";
    EXPECT_NE(GutterPixelAtLine(1), kErrorMark);

    const std::wstring pane = WindowText(hOutput);
    const auto paneLine = [&pane](const wchar_t* text) {
        const auto at = static_cast<DWORD>(pane.find(text));
        return Selection{at, at + static_cast<DWORD>(wcslen(text))};
    };
    struct Step {
        bool forward;
        Selection editor;
        const wchar_t* message;
    };
    const Step steps[] = {
        {true, SelectionAt(2, 3), L"main.c:2:3: error: one"},
        {true, SelectionAt(5, 2), L"main.c:5:2: warning: two"},
        {true, SelectionAt(2, 3), L"main.c:2:3: error: one"},  // wrapped round
        {false, SelectionAt(5, 2), L"main.c:5:2: warning: two"},
        {false, SelectionAt(2, 3), L"main.c:2:3: error: one"},
    };
    for (const Step& step : steps) {
        if (step.forward) {
            SendMessageW(hEdit, WM_KEYDOWN, VK_F4, 1);
        } else {
            BYTE state[256] = {};
            state[VK_SHIFT] = 0x80;
            SetKeyboardState(state);
            SendMessageW(hEdit, WM_KEYDOWN, VK_F4, 1);
            BYTE none[256] = {};
            SetKeyboardState(none);
        }
        EXPECT_EQ(SelectionOf(hEdit), step.editor) << (step.forward ? "F4 " : "Shift+F4 ") << step.message;
        EXPECT_EQ(SelectionOf(hOutput), paneLine(step.message)) << step.message;
    }

    // A line break before both moves the marks down; typing on the error's line takes its mark.
    SendMessageW(hEdit, EM_SETSEL, 0, 0);
    SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\n"));
    EXPECT_EQ(GutterPixelAtLine(3), kErrorMark);
    EXPECT_EQ(GutterPixelAtLine(6), kWarningMark);
    SendMessageW(hEdit, EM_SETSEL, LineStart(3) + 1, LineStart(3) + 1);
    SendMessageW(hEdit, WM_CHAR, L'x', 1);
    EXPECT_NE(GutterPixelAtLine(3), kErrorMark);
    EXPECT_EQ(GutterPixelAtLine(6), kWarningMark);
    SendMessageW(hEdit, WM_KEYDOWN, VK_F4, 1);
    EXPECT_EQ(SelectionOf(hEdit), SelectionAt(6, 2)) << "F4 goes only to the marks that are left";

    // The next compile takes the marks of the last one.
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"echo gotowe", kDirectiveUnits);
    PressCommandBarButton(IDC_COMPILE);
    PumpPendingMessages();
    EXPECT_NE(GutterPixelAtLine(6), kWarningMark);
    const Selection before = SelectionOf(hEdit);
    SendMessageW(hEdit, WM_KEYDOWN, VK_F4, 1);
    EXPECT_EQ(SelectionOf(hEdit), before);
}

// The editor's client area as it stands on the screen, as 32-bit pixels, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    COLORREF At(int x, int y) const
    {
        const DWORD p = pixels[static_cast<std::size_t>(y * width + x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// With `whole`, the editor is painted again whole first; without, it shows what its own
// repaints left.
Picture TakePicture(CodeColours colours, bool whole = true)
{
    if (whole) {
        ShowCodeColours(colours);
        RedrawWindow(hEdit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    UpdateWindow(hEdit);
    Picture picture;
    RECT client = {};
    GetClientRect(hEdit, &client);
    picture.width = client.right;
    picture.height = client.bottom;
    picture.pixels.resize(static_cast<std::size_t>(picture.width * picture.height));
    HDC screen = GetDC(hEdit);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::copy_n(static_cast<const DWORD*>(bits), picture.pixels.size(), picture.pixels.begin());
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hEdit, screen);
    return picture;
}

// How many pixels of the box around characters from..to of the text are in `colour`.
int PixelsInColour(const Picture& picture, int from, int to, COLORREF colour)
{
    const auto packedFrom = static_cast<DWORD>(SendMessageW(hEdit, EM_POSFROMCHAR, from, 0));
    const auto packedTo = static_cast<DWORD>(SendMessageW(hEdit, EM_POSFROMCHAR, to, 0));
    const int left = static_cast<short>(LOWORD(packedFrom));
    const int top = static_cast<short>(HIWORD(packedFrom));
    const int right = static_cast<short>(LOWORD(packedTo));
    int count = 0;
    for (int y = top; y < top + 16 && y < picture.height; ++y) {
        for (int x = left; x < right && x < picture.width; ++x)
            count += picture.At(x, y) == colour;
    }
    return count;
}

int DifferingPixels(const Picture& a, const Picture& b)
{
    int count = 0;
    for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        count += (a.pixels[i] & 0xFFFFFF) != (b.pixels[i] & 0xFFFFFF);
    return count;
}

TEST_F(CodeViewTest, ColoursLieExactlyOnTheControlsOwnTextAtAProportionalAndAFixedFont)
{
    // Glyphs that reach beyond their advance (f, j, y, W) stand on the tokens' edges.
    const std::wstring text = L"int main(void) /* comment */\r\n\t\"a string\"; return 0;\r\n  // line comment\r\n"
                              L"if(jy)for(fj)return(f;W'W'W\"Wy\"jy/*f*/fif 7f.f\tWhile;int\tj1";
    HFONT fixed = CreateFontW(17, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    const HFONT fonts[] = {hNormalFont, fixed};
    SetForegroundWindow(mHwnd);
    SetFocus(hEdit);
    for (HFONT font : fonts) {
        SendMessageW(hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SetWindowTextW(hEdit, text.c_str());
        const int keyword = 0;
        const int comment = static_cast<int>(text.find(L"/*"));
        const int string = static_cast<int>(text.find(L'"'));
        const int returnWord = static_cast<int>(text.find(L"return"));
        // The selection from inside the string to inside "return".
        SendMessageW(hEdit, EM_SETSEL, string + 3, returnWord + 3);
        HideCaret(hEdit);
        const Picture plain = TakePicture(CodeColours::Off);
        const Picture sameColour = TakePicture(CodeColours::TextColourOnly);
        const Picture coloured = TakePicture(CodeColours::Scheme);
        ShowCaret(hEdit);
        const char* which = font == fixed ? "fixed font" : "proportional font";

        EXPECT_EQ(DifferingPixels(plain, sameColour), 0) << which << ": the view draws the control's own text";
        EXPECT_GT(DifferingPixels(plain, coloured), 0) << which;
        EXPECT_GT(PixelsInColour(coloured, keyword, keyword + 3, CodeColourOf(TokenKind::Type)), 5) << which;
        EXPECT_GT(PixelsInColour(coloured, comment, comment + 12, CodeColourOf(TokenKind::Comment)), 5) << which;
        EXPECT_GT(PixelsInColour(coloured, string, string + 3, CodeColourOf(TokenKind::String)), 5) << which;
        // The selection's pixels are the control's own, over the string and the keyword alike.
        EXPECT_EQ(PixelsInColour(coloured, string + 3, string + 10, CodeColourOf(TokenKind::String)), 0) << which;
        const auto packedFrom = static_cast<DWORD>(SendMessageW(hEdit, EM_POSFROMCHAR, string + 3, 0));
        const auto packedTo = static_cast<DWORD>(SendMessageW(hEdit, EM_POSFROMCHAR, returnWord + 3, 0));
        int differing = 0;
        for (int y = static_cast<short>(HIWORD(packedFrom)) + 1; y < static_cast<short>(HIWORD(packedFrom)) + 14; ++y) {
            for (int x = static_cast<short>(LOWORD(packedFrom)) + 1; x < static_cast<short>(LOWORD(packedTo)) - 1; ++x)
                differing += plain.At(x, y) != coloured.At(x, y);
        }
        EXPECT_EQ(differing, 0) << which << ": the selection stays as the control draws it";

        // A comment opened at the end of the first line reaches the keyword on the next, which
        // the control itself has no reason to paint again; taking it back gives the keyword back.
        const auto firstEnd = static_cast<WPARAM>(text.find(L"\r\n"));
        SendMessageW(hEdit, EM_SETSEL, firstEnd, static_cast<LPARAM>(firstEnd));
        SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"/*"));
        const int returnNow = returnWord + 2;
        EXPECT_GT(PixelsInColour(TakePicture(CodeColours::Scheme, false), returnNow, returnNow + 6,
                                 CodeColourOf(TokenKind::Comment)), 5) << which;
        SendMessageW(hEdit, EM_SETSEL, firstEnd, static_cast<LPARAM>(firstEnd + 2));
        SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
        EXPECT_GT(PixelsInColour(TakePicture(CodeColours::Scheme, false), returnWord, returnWord + 6,
                                 CodeColourOf(TokenKind::Keyword)), 5) << which;
    }
    SendMessageW(hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(hNormalFont), TRUE);
    DeleteObject(fixed);
}

}  // namespace
