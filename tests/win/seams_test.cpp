// The shared pieces that several commands use: the output pane's writers, the message boxes,
// the dialog opener, the topmost holder, the font conversion and applying the settings.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "settings/apply_settings.h"
#include "settings/font_description.h"
#include "settings/topmost_holder.h"
#include "tests/win/win_test_support.h"
#include "win32/dialogs.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"

namespace {

// Counts the messages that set an edit control's whole text.
LRESULT CALLBACK CountWholeTextSets(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR counter)
{
    if (message == WM_SETTEXT)
        ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST(OutputPane, SetReplacesAndAppendAddsAtTheEnd)
{
    SetOutputText(L"Kompilowanie");
    EXPECT_EQ(WindowText(hOutput), L"Kompilowanie");

    int wholeTextSets = 0;
    SetWindowSubclass(hOutput, CountWholeTextSets, 1, reinterpret_cast<DWORD_PTR>(&wholeTextSets));
    SendMessageW(hOutput, EM_SETSEL, 0, 3);  // the user's selection elsewhere does not matter
    AppendOutputText(L"\r\nmain.c:1: error");
    AppendOutputText(std::wstring(L"a\0b", 3));  // a zero inside output hides nothing behind it
    AppendOutputText(L"");
    RemoveWindowSubclass(hOutput, CountWholeTextSets, 1);

    EXPECT_EQ(WindowText(hOutput), L"Kompilowanie\r\nmain.c:1: errorab");
    EXPECT_EQ(wholeTextSets, 0) << "appending must not set the whole text anew";
    DWORD start = 0, end = 0;
    SendMessageW(hOutput, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, static_cast<DWORD>(GetWindowTextLengthW(hOutput))) << "the caret follows the end of the output";

    SetOutputText(std::wstring(L"x\0y", 3));
    EXPECT_EQ(WindowText(hOutput), L"xy");
    SetOutputText(L"");
}

TEST(MessageBoxes, CaptionTextAndOwner)
{
    MessageBoxSeen withCode, withPath, plain;
    {
        ModalDriver driver({RecordMessageBox(&withCode), RecordMessageBox(&withPath), RecordMessageBox(&plain)});
        ReportMessage(hOutput, IDS_PROCESS_NOT_STARTED, MessageDetail::Code(193));
        ReportMessage(nullptr, IDS_FILE_NOT_SAVED, MessageDetail::Path(L"C:\\zadania\\main.c"));
        ReportMessage(nullptr, IDS_NO_PROJECT_CHOSEN);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(withCode.caption, L"Błąd");
    EXPECT_EQ(withCode.text, TextWithCode(IDS_PROCESS_NOT_STARTED, 193));
    EXPECT_EQ(withCode.owner, mHwnd) << "a box owned by a child window belongs to its top-level window";
    EXPECT_EQ(withPath.caption, L"Error");
    EXPECT_EQ(withPath.text, MessageText(IDS_FILE_NOT_SAVED) + L"\n\nC:\\zadania\\main.c");
    EXPECT_EQ(withPath.owner, nullptr);
    EXPECT_EQ(plain.caption, L"Info");
    EXPECT_EQ(plain.text, MessageText(IDS_NO_PROJECT_CHOSEN));
}

// The resource compiler must keep the Polish letters and the escapes of the string table.
TEST(MessageBoxes, TheStringTableKeepsItsTexts)
{
    EXPECT_EQ(MessageText(IDS_PROCESS_NOT_STARTED), L"Nie udało się uruchomić procesu! Kod błędu: %lu");
    EXPECT_EQ(MessageText(IDS_COMMON_DIALOGS_MISSING), L"The system's common dialogs could not be loaded.\n\nError code: %lu");
    EXPECT_EQ(MessageText(IDM_JUMP_OUT_OF_MEMORY), MessageText(IDS_OUT_OF_MEMORY));
}

INT_PTR CALLBACK EndAtOnce(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    wchar_t title[64] = {};
    GetWindowTextW(dialog, title, 64);
    EndDialog(dialog, std::wstring(title) == L"Search/Replace" ? 610 : 1);
    return TRUE;
}

TEST(ModalDialog, OpensTheTemplateOrReportsWhyNot)
{
    {
        ModalDriver driver({});
        EXPECT_EQ(OpenModalDialog(IDD_SEARCH_REPLACE, EndAtOnce), 610);
        EXPECT_EQ(driver.unexpected(), 0);
    }

    // The code the system gives for a template that is not there, asked for the same way.
    SetLastError(0);
    ASSERT_EQ(DialogBoxParamW(mhI, MAKEINTRESOURCEW(9999), nullptr, EndAtOnce, 0), -1);
    const DWORD code = GetLastError();
    MessageBoxSeen box;
    {
        ModalDriver driver({RecordMessageBox(&box)});
        EXPECT_EQ(OpenModalDialog(9999, EndAtOnce), -1);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(box.caption, L"Error");
    EXPECT_EQ(box.text, TextWithCode(IDS_DIALOG_FAILED, code));
    EXPECT_EQ(box.owner, nullptr);
}

// The common dialogs load at their first use; when that fails the user is told and the caller
// sees a cancelled dialog.
TEST(CommonDialogs, AMissingDllOrFunctionIsReportedNotCalled)
{
    const struct {
        const wchar_t* dll;
        const char* function;
        DWORD code;
    } cases[] = {
        {L"no_such_dialogs.dll", "GetOpenFileNameW", ERROR_MOD_NOT_FOUND},
        {L"comdlg32.dll", "NoSuchDialogW", ERROR_PROC_NOT_FOUND},
    };
    for (const auto& c : cases) {
        MessageBoxSeen box;
        {
            ModalDriver driver({RecordMessageBox(&box)});
            EXPECT_EQ(FindDialogFunction(mHwnd, c.dll, c.function), nullptr) << c.dll;
            EXPECT_TRUE(driver.finished()) << c.dll;
        }
        EXPECT_EQ(box.caption, L"Error");
        EXPECT_EQ(box.text, TextWithCode(IDS_COMMON_DIALOGS_MISSING, c.code))
            << c.dll;
        EXPECT_EQ(box.owner, mHwnd);
    }
}

TEST(TopmostHolder, ClearsTheBitForItsScopeAndSetsItAfter)
{
    HWND popup = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, mhI,
                                 nullptr);
    ASSERT_TRUE(popup);
    const auto topmost = [popup] { return (GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(topmost());
    const auto leaveEarly = [&](bool early) {
        ScopedTopmostOff off(popup);
        EXPECT_FALSE(topmost());
        if (early)
            return;
        EXPECT_FALSE(topmost());
    };
    leaveEarly(true);
    EXPECT_TRUE(topmost());
    leaveEarly(false);
    EXPECT_TRUE(topmost());
    DestroyWindow(popup);
}

// A description with a different value in every field.
LOGFONTW DistinctLogFont()
{
    LOGFONTW font = {};
    font.lfHeight = -21;
    font.lfWidth = 9;
    font.lfEscapement = 450;
    font.lfOrientation = 900;
    font.lfWeight = FW_BOLD;
    font.lfItalic = 1;
    font.lfUnderline = 2;
    font.lfStrikeOut = 3;
    font.lfCharSet = EASTEUROPE_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfClipPrecision = CLIP_LH_ANGLES;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, L"Courier New", LF_FACESIZE);
    return font;
}

TEST(FontDescription, LandsInTheProjectImageExactlyAsTheSystemLaysItOut)
{
    const LOGFONTW font = DistinctLogFont();
    Settings settings = StartSettings();
    settings.savedFont = FontDescriptionFromLogFont(font);
    const SettingsImage image = SettingsToImage(settings);

    static_assert(sizeof(LOGFONTW) == kFaceNameOffset + 2 * kFaceNameUnits - kFontOffset);
    EXPECT_EQ(std::memcmp(image.data() + kFontOffset, &font, sizeof font), 0);

    const LOGFONTW back = LogFontFromDescription(SettingsFromImage(image)->savedFont);
    EXPECT_EQ(std::memcmp(&back, &font, sizeof font), 0);
}

class ApplySettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = ustawienia;
        GetObjectW(hNormalFont, sizeof startFont_, &startFont_);
    }
    void TearDown() override
    {
        // Back to the start font, colours and captions, then to the start record itself.
        ustawienia = saved_;
        ustawienia.savedFont = FontDescriptionFromLogFont(startFont_);
        ApplySettings();
        ustawienia = saved_;
    }

    Settings saved_ = {};
    LOGFONTW startFont_ = {};
};

TEST_F(ApplySettingsTest, FontColoursAndCaptionsFollowTheRecord)
{
    HFONT oldFont = hNormalFont;
    LOGFONTW wanted = {};
    wanted.lfHeight = 25;
    lstrcpynW(wanted.lfFaceName, L"Courier New", LF_FACESIZE);
    ustawienia.savedFont = FontDescriptionFromLogFont(wanted);
    ustawienia.savedTextColor = RGB(1, 2, 3);
    ustawienia.savedBackgroundColor = RGB(4, 5, 6);
    for (int slot = 0; slot < 19; ++slot)
        WriteTextField(ustawienia.jumpCaptions[slot], u"pętla " + std::u16string(1, u'a' + slot));

    ApplySettings();

    ASSERT_NE(hNormalFont, oldFont);
    EXPECT_EQ(GetObjectType(oldFont), 0u) << "the replaced font is deleted";
    LOGFONTW made = {};
    ASSERT_TRUE(GetObjectW(hNormalFont, sizeof made, &made));
    EXPECT_EQ(made.lfHeight, 25);
    EXPECT_STREQ(made.lfFaceName, L"Courier New");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(hEdit, WM_GETFONT, 0, 0)), hNormalFont);
    EXPECT_TRUE(PaneFontFollows(hNormalFont));
    // No window is left drawing with the deleted font.
    for (int slot = 0; slot < okno_dzialan.count; ++slot)
        EXPECT_NE(GetObjectType(reinterpret_cast<HGDIOBJ>(SendMessageW(okno_dzialan.windows[slot], WM_GETFONT, 0, 0))),
                  0u)
            << slot;

    EXPECT_EQ(textColor, RGB(1, 2, 3));
    EXPECT_EQ(backgroundColor, RGB(4, 5, 6));
    EXPECT_EQ(WindowText(okno_skoku.windows[0]), L"pętla a");
    EXPECT_EQ(WindowText(okno_skoku.windows[18]), L"pętla s");
}

}  // namespace
