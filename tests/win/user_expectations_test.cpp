// What a user expects of the keys, the buttons and the screen: tabs kept by Enter, the lines a
// selection touches, where the keyboard goes, the caret's place, tooltips, every control in view
// at any size, the choosers' start and the owner of a box.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "settings/apply_settings.h"
#include "settings/font_description.h"
#include "tests/win/win_test_support.h"
#include "win32/layout.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"

namespace {

// Presses the keys in order and lets them go in reverse, on the real input path.
bool PressKeys(std::initializer_list<WORD> keys, const std::function<bool()>& done)
{
    SendKeyEventsUntil(KeyChord(keys), done);
    PumpPendingMessages();
    return done();
}

void SetEditor(const std::wstring& text, int start, int end)
{
    SetWindowTextW(hEdit, text.c_str());
    SendMessageW(hEdit, EM_SETSEL, start, end);
    SetFocus(hEdit);
}

int CaretX(int position)
{
    return LOWORD(SendMessageW(hEdit, EM_POSFROMCHAR, position, 0));
}

class UserExpectationsTest : public testing::Test {
protected:
    void TearDown() override
    {
        SetWindowTextW(hEdit, L"");
        SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
        SetWindowTextW(okno_dzialan.windows[kCountFieldSlot], L"1");
        // The settings dialog gives the command bar the bars' font; start-up gave it the editor's.
        for (int slot = 0; slot < okno_dzialan.count; ++slot)
            SendMessageW(okno_dzialan.windows[slot], WM_SETFONT, reinterpret_cast<WPARAM>(hNormalFont), FALSE);
    }
};

TEST_F(UserExpectationsTest, EnterKeepsTabsAndShiftEnterAlignsUnderTheCaretPastTabs)
{
    SetEditor(L"\t \tif (x)", 9, 9);
    ASSERT_TRUE(PressKeys({VK_RETURN}, [] { return WindowText(hEdit).size() > 9; }));
    EXPECT_EQ(WindowText(hEdit), L"\t \tif (x)\r\n\t \t");

    // Shift+Enter after a tab-indented prefix: the new line's end stands under the caret, no
    // further than one space's width before it.
    const std::wstring line = L"\t\tcall(a,";
    SetEditor(line, static_cast<int>(line.size()), static_cast<int>(line.size()));
    const int caretX = CaretX(static_cast<int>(line.size()));
    ASSERT_TRUE(PressKeys({VK_SHIFT, VK_RETURN}, [&] { return WindowText(hEdit).size() > line.size(); }));
    const std::wstring after = WindowText(hEdit);
    ASSERT_EQ(after.substr(0, line.size() + 2), line + L"\r\n");
    EXPECT_EQ(after.find_first_not_of(L' ', line.size() + 2), std::wstring::npos) << "spaces only";
    const int newLineEndX = CaretX(static_cast<int>(after.size()));
    HDC dc = GetDC(hEdit);
    HGDIOBJ old = SelectObject(dc, hNormalFont);
    SIZE space = {};
    GetTextExtentPoint32W(dc, L" ", 1, &space);
    SelectObject(dc, old);
    ReleaseDC(hEdit, dc);
    EXPECT_LE(newLineEndX, caretX);
    EXPECT_GT(newLineEndX, caretX - space.cx) << "spaces inserted: " << after.size() - line.size() - 2;
}

// Each row: the text, the selection, the count, and the text after "--->" and after "<---".
TEST_F(UserExpectationsTest, IndentAndOutdentMoveEveryLineTheSelectionTouches)
{
    const std::wstring text = L"  one\r\n\ttwo\r\n three";
    struct Case {
        const char* what;
        int start, end;
        std::wstring indented;
        std::wstring outdented;
    };
    const Case cases[] = {
        {"from Home of the second line", 7, 11, L"  one\r\n  \ttwo\r\n three", L"  one\r\ntwo\r\n three"},
        {"from the end of the line before", 5, 11, L"  one\r\n  \ttwo\r\n three", L"  one\r\ntwo\r\n three"},
        {"inside one line", 2, 4, L"    one\r\n\ttwo\r\n three", L"one\r\n\ttwo\r\n three"},
        {"to the end of the text", 3, 19, L"    one\r\n  \ttwo\r\n   three", L"one\r\ntwo\r\nthree"},
        {"ending just after a break", 8, 13, L"  one\r\n  \ttwo\r\n three", L"  one\r\ntwo\r\n three"},
    };
    SetWindowTextW(okno_dzialan.windows[kCountFieldSlot], L"2");
    for (const Case& c : cases) {
        SetEditor(text, c.start, c.end);
        PressCommandBarButton(IDC_INDENT);
        EXPECT_EQ(WindowText(hEdit), c.indented) << c.what;
        SetEditor(text, c.start, c.end);
        PressCommandBarButton(IDC_OUTDENT);
        EXPECT_EQ(WindowText(hEdit), c.outdented) << c.what;
    }
    // The moved lines stay selected, so a second press moves them again.
    SetEditor(text, 8, 9);
    PressCommandBarButton(IDC_INDENT);
    PressCommandBarButton(IDC_INDENT);
    EXPECT_EQ(WindowText(hEdit), L"  one\r\n    \ttwo\r\n three");
}

// The keyboard is back in the editor after each command, so typing goes on there.
TEST_F(UserExpectationsTest, TheKeyboardGoesBackToTheEditor)
{
    struct Case {
        const char* what;
        std::function<void()> command;
    };
    const Case cases[] = {
        {"indent", [] { PressCommandBarButton(IDC_INDENT); }},
        {"outdent", [] { PressCommandBarButton(IDC_OUTDENT); }},
        {"count +", [] { PressCommandBarButton(IDC_COUNT_UP); }},
        {"count -", [] { PressCommandBarButton(IDC_COUNT_DOWN); }},
        {"search dialog",
         [] {
             ModalDriver driver({PressButton(IDCANCEL)});
             PressCommandBarButton(IDC_SEARCH);
         }},
        {"settings dialog",
         [] {
             ModalDriver driver({PressButton(IDCANCEL)});
             PressCommandBarButton(IDC_OPTIONS);
         }},
    };
    for (const Case& c : cases) {
        SetEditor(L"a\r\nb", 0, 4);
        HWND button = okno_dzialan.windows[kIndentSlot];
        SetFocus(button);  // where a click leaves it
        c.command();
        EXPECT_EQ(GetFocus(), hEdit) << c.what;
    }
}

TEST_F(UserExpectationsTest, TheLabelShowsTheCaretsLineAndColumn)
{
    ASSERT_TRUE(IsWindowVisible(hLabel));
    EXPECT_EQ(GetParent(hLabel), hTopBar);
    SetEditor(L"int main()\r\n{\r\n\treturn 0;", 0, 0);
    EXPECT_EQ(WindowText(hLabel), L"Wiersz 1, kolumna 1");
    ASSERT_TRUE(PressKeys({VK_CONTROL, VK_END}, [] { return SelectionOf(hEdit).start == 25; }));
    EXPECT_EQ(WindowText(hLabel), L"Wiersz 3, kolumna 11");
    ASSERT_TRUE(PressKeys({VK_UP}, [] { return SelectionOf(hEdit).start < 25; }));
    EXPECT_EQ(WindowText(hLabel).substr(0, 10), L"Wiersz 2, ");
    // Selecting backwards: the caret is at the moving start.
    SendMessageW(hEdit, EM_SETSEL, 25, 25);
    ASSERT_TRUE(PressKeys({VK_SHIFT, VK_HOME}, [] { return SelectionOf(hEdit).start == 15; }));
    EXPECT_EQ(WindowText(hLabel), L"Wiersz 3, kolumna 1");
}

TEST_F(UserExpectationsTest, EveryCommandBarControlHasATooltip)
{
    ASSERT_TRUE(hTooltips);
    for (int slot = 0; slot < okno_dzialan.count; ++slot) {
        wchar_t text[256] = {};
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = hTopBar;
        tool.uId = reinterpret_cast<UINT_PTR>(okno_dzialan.windows[slot]);
        tool.lpszText = text;
        SendMessageW(hTooltips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        EXPECT_GT(lstrlenW(text), 5) << "slot " << slot;
        if (slot == kIndentSlot || slot == kOutdentSlot) {
            EXPECT_NE(std::wstring(text).find(L"liczby"), std::wstring::npos) << "names the count: " << slot;
        }
    }
}

LayoutRect ClientPlace(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    MapWindowPoints(HWND_DESKTOP, mHwnd, reinterpret_cast<POINT*>(&bounds), 2);
    return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

bool Overlap(const LayoutRect& a, const LayoutRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Dragged to each size, every control is whole inside the client area and none overlaps another;
// back at its start place the window has the screen's layout again.
TEST_F(UserExpectationsTest, EveryControlStaysInViewAtEverySize)
{
    RECT start;
    GetWindowRect(mHwnd, &start);
    const LayoutRect editorAtStart = PlaceInParent(hEdit);
    struct Size {
        int width, height;
    };
    for (const Size size : {Size{1600, 900}, Size{1200, 750}, Size{1024, 600}}) {
        SetWindowPos(mHwnd, nullptr, 100, 50, size.width, size.height, SWP_NOZORDER);
        PumpPendingMessages();
        RECT client;
        GetClientRect(mHwnd, &client);
        std::vector<HWND> windows = {hTopBar, hEdit, hOutput, hJump, hLabel};
        for (int slot = 0; slot < okno_dzialan.count; ++slot)
            windows.push_back(okno_dzialan.windows[slot]);
        for (int slot = 0; slot < okno_skoku.count; ++slot)
            windows.push_back(okno_skoku.windows[slot]);
        std::vector<LayoutRect> places;
        for (HWND window : windows) {
            const LayoutRect place = ClientPlace(window);
            EXPECT_TRUE(IsWindowVisible(window)) << size.width;
            EXPECT_TRUE(place.width > 0 && place.height > 0 && place.x >= 0 && place.y >= 0 &&
                        place.x + place.width <= client.right && place.y + place.height <= client.bottom)
                << size.width << "x" << size.height << ": control " << GetDlgCtrlID(window) << " at " << place.x
                << "," << place.y << " " << place.width << "x" << place.height;
            places.push_back(place);
        }
        // The bars hold their controls, so only windows of the same parent may not overlap.
        for (std::size_t i = 0; i < windows.size(); ++i) {
            for (std::size_t j = i + 1; j < windows.size(); ++j) {
                if (GetParent(windows[i]) == GetParent(windows[j])) {
                    EXPECT_FALSE(Overlap(places[i], places[j]))
                        << size.width << ": " << GetDlgCtrlID(windows[i]) << " and " << GetDlgCtrlID(windows[j]);
                }
            }
        }
    }
    MINMAXINFO limits = {};
    SendMessageW(mHwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 1024);
    EXPECT_EQ(limits.ptMinTrackSize.y, 600);

    SetWindowPos(mHwnd, nullptr, start.left, start.top, start.right - start.left, start.bottom - start.top,
                 SWP_NOZORDER);
    PumpPendingMessages();
    EXPECT_EQ(PlaceInParent(hEdit), editorAtStart);
}

// OK in a chooser without touching anything keeps what was set.
TEST_F(UserExpectationsTest, TheChoosersStartFromWhatIsSet)
{
    const Settings saved = ustawienia;
    ustawienia.savedBackgroundColor = RGB(200, 180, 160);
    ApplyColors();
    // The face the editor is drawn in, which may stand in for the one asked for.
    const auto drawnFace = [] {
        wchar_t face[LF_FACESIZE] = {};
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, hNormalFont);
        GetTextFaceW(dc, LF_FACESIZE, face);
        SelectObject(dc, old);
        DeleteDC(dc);
        return std::wstring(face);
    };
    const std::wstring faceBefore = drawnFace();
    LOGFONTW before = {};
    GetObjectW(hNormalFont, sizeof before, &before);
    // Opens the chooser from the settings dialog, accepts it as it opened, closes the dialog.
    const auto acceptChooser = [](int button) {
        auto settings = std::make_shared<HWND>();
        return std::vector<ModalDriver::Action>{
            [button, settings](HWND dialog) {
                *settings = dialog;
                PostMessageW(dialog, WM_COMMAND, button, 0);
            },
            [settings](HWND chooser) {
                PostMessageW(chooser, WM_COMMAND, IDOK, 0);
                PostMessageW(*settings, WM_COMMAND, IDCANCEL, 0);
            }};
    };
    {
        ModalDriver driver(acceptChooser(IDC_SETTINGS_BACKGROUND_COLOR));
        PressCommandBarButton(IDC_OPTIONS);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0);
    }
    EXPECT_EQ(backgroundColor, RGB(200, 180, 160));
    {
        ModalDriver driver(acceptChooser(IDC_SETTINGS_FONT));
        PressCommandBarButton(IDC_OPTIONS);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0);
    }
    LOGFONTW after = {};
    GetObjectW(hNormalFont, sizeof after, &after);
    EXPECT_EQ(drawnFace(), faceBefore);
    EXPECT_EQ(after.lfWeight, before.lfWeight);
    EXPECT_NEAR(std::abs(after.lfHeight), std::abs(before.lfHeight), 4) << "not the chooser's smallest size";

    // Back to the start font and colours, then to the start record itself.
    ustawienia = saved;
    ustawienia.savedFont = FontDescriptionFromLogFont(before);
    ApplySettings();
    ustawienia = saved;
}

// A box raised while the settings dialog is open (here by indent with nothing selected) is the
// dialog's, so it opens above it rather than behind.
TEST_F(UserExpectationsTest, ABoxRaisedUnderATopmostDialogBelongsToIt)
{
    SetEditor(L"abc", 1, 1);
    HWND settings = nullptr;
    MessageBoxSeen box;
    {
        ModalDriver driver({[&settings](HWND dialog) {
                                settings = dialog;
                                PostMessageW(hTopBar, WM_COMMAND, MAKEWPARAM(IDC_INDENT, BN_CLICKED), 0);
                            },
                            [&box, &settings](HWND shown) {
                                RecordMessageBox(&box)(shown);
                                PostMessageW(settings, WM_COMMAND, IDCANCEL, 0);
                            }});
        PressCommandBarButton(IDC_OPTIONS);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(box.text, MessageText(IDS_NO_SELECTION));
    EXPECT_EQ(box.owner, settings);
}

}  // namespace
