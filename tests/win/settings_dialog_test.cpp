// The settings dialog and project files, opened from the command bar and driven through the
// real dialogs: the settings dialog itself, the file, colour and font choosers, the boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "settings/apply_settings.h"
#include "settings/font_description.h"
#include "tests/win/win_test_support.h"
#include "win32/dark_scheme.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"

namespace {

using Bytes = std::vector<unsigned char>;

HWND Item(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

// A click, as the button reports it to the dialog.
void Click(HWND dialog, int id)
{
    SendMessageW(Item(dialog, id), BM_CLICK, 0, 0);
}

// Picks a jump list entry the way the list reports a user's choice.
void ChooseJump(HWND dialog, int entry)
{
    HWND list = Item(dialog, IDC_SETTINGS_JUMP_LIST);
    SendMessageW(list, CB_SETCURSEL, entry, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_JUMP_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int ChosenJump(HWND dialog)
{
    return static_cast<int>(SendMessageW(Item(dialog, IDC_SETTINGS_JUMP_LIST), CB_GETCURSEL, 0, 0));
}

std::wstring Field(std::span<const char16_t> field)
{
    const std::u16string_view text = ReadTextField(field);
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

// Opens the settings dialog with the Options button and runs `scenario` on it from inside the
// dialog's own message loop; then "Ok" closes it. `nested` answers the dialogs and boxes that
// the scenario opens, in order.
void WithSettingsDialog(const std::function<void(HWND)>& scenario, std::vector<ModalDriver::Action> nested = {})
{
    std::vector<ModalDriver::Action> actions = {[&scenario](HWND dialog) {
        scenario(dialog);
        if (IsWindowVisible(dialog))
            Click(dialog, IDCANCEL);
    }};
    actions.insert(actions.end(), nested.begin(), nested.end());
    ModalDriver driver(std::move(actions));
    PressCommandBarButton(IDC_OPTIONS);
    EXPECT_TRUE(driver.finished()) << driver.handled() << " dialogs handled";
    EXPECT_EQ(driver.unexpected(), 0);
}

class SettingsDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        GetObjectW(hNormalFont, sizeof startFont_, &startFont_);
        ustawienia = StartSettings();
        project_name[0] = L'\0';
        ApplyJumpCaptions();
    }
    void TearDown() override
    {
        // Back to the start font, colours and captions, then to the start record itself.
        ustawienia = StartSettings();
        ustawienia.savedFont = FontDescriptionFromLogFont(startFont_);
        ApplySettings();
        ustawienia = StartSettings();
        project_name[0] = L'\0';
        SetOutputText(L"");
        // The dialog gives the command bar the bars' font; start-up gave it the editor's.
        for (int slot = 0; slot < okno_dzialan.count; ++slot)
            SendMessageW(okno_dzialan.windows[slot], WM_SETFONT, reinterpret_cast<WPARAM>(hNormalFont), FALSE);
    }

    LOGFONTW startFont_ = {};
    TempFolder folder_;
};

TEST_F(SettingsDialogTest, OpensWithTheRecordAndSetChangesACaptionAtOnce)
{
    WithSettingsDialog([](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Ustawienia");
        EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(ChosenJump(dialog), 0);
        EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_JUMP_LIST)), L"Jump 1");
        EXPECT_EQ(SendMessageW(Item(dialog, IDC_SETTINGS_JUMP_LIST), CB_GETCOUNT, 0, 0), 19);
        EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_LABEL)), L"//--?00");
        EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_DIRECTIVE)), L"gcc -o out_file main.c");

        ChooseJump(dialog, 4);
        EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_JUMP_LIST)), L"Jump 5");
        EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_LABEL)), L"//--?04");
        SetWindowTextW(Item(dialog, IDC_SETTINGS_LABEL), L"pętla");
        Click(dialog, IDC_SETTINGS_SET_LABEL);
        EXPECT_EQ(WindowText(okno_skoku.windows[4]), L"pętla");
        EXPECT_EQ(Field(ustawienia.jumpCaptions[4]), L"pętla");
        // The jump bar finds a button's marker from its id, which the caption leaves alone.
        EXPECT_EQ(GetDlgCtrlID(okno_skoku.windows[4]), IDC_FIRST_JUMP + 4);

        ChooseJump(dialog, 0);
        EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_LABEL)), L"//--?00");
        ChooseJump(dialog, 4);
        EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_LABEL)), L"pętla");

        // Longer text is cut at the caption's nine characters, on the button and in the record.
        ChooseJump(dialog, 18);
        SetWindowTextW(Item(dialog, IDC_SETTINGS_LABEL), L"abcdefghijklmnop");
        Click(dialog, IDC_SETTINGS_SET_LABEL);
        EXPECT_EQ(WindowText(okno_skoku.windows[18]), L"abcdefghi");
        EXPECT_EQ(Field(ustawienia.jumpCaptions[18]), L"abcdefghi");
        EXPECT_EQ(ustawienia.jumpCaptions[19][0], u'\0') << "nothing is written past the last caption";
        EXPECT_EQ(WindowText(okno_skoku.windows[17]), L"//--?17");
    });
}


// Real keys for whatever window has the keyboard; the dialog's own loop takes them in order.
void QueueKeys(std::initializer_list<WORD> virtualKeys)
{
    SendKeyEvents(KeyStrokes(virtualKeys));
}

TEST_F(SettingsDialogTest, EnterDoesNothingAndEscapeClosesLikeOkKeepingTheDirective)
{
    HWND opened = nullptr;
    HWND keyboardIn = nullptr;
    HWND directiveEdit = nullptr;
    ModalDriver driver({[&](HWND dialog) {
        opened = dialog;
        HWND directive = directiveEdit = Item(dialog, IDC_SETTINGS_DIRECTIVE);
        SetWindowTextW(directive, L"gcc -o nowy main.c");
        SetForegroundWindow(dialog);
        SetFocus(directive);
        SendMessageW(directive, EM_SETSEL, 18, 18);
        keyboardIn = GetFocus();
        // The X typed after Enter shows that Enter neither closed the dialog nor broke the line.
        QueueKeys({VK_RETURN, 'X', VK_RETURN, VK_ESCAPE});
    }});
    PressCommandBarButton(IDC_OPTIONS);
    EXPECT_EQ(driver.handled(), 1);
    EXPECT_EQ(keyboardIn, directiveEdit);
    EXPECT_FALSE(IsWindow(opened)) << "Escape closes the dialog";
    EXPECT_EQ(Field(ustawienia.compileDirective), L"gcc -o nowy main.cx");
}

TEST_F(SettingsDialogTest, TheDirectiveIsCutAtItsFieldWidth)
{
    WithSettingsDialog([](HWND dialog) {
        SetWindowTextW(Item(dialog, IDC_SETTINGS_DIRECTIVE), (std::wstring(598, L'a') + L"bcd").c_str());
    });
    EXPECT_EQ(Field(ustawienia.compileDirective), std::wstring(598, L'a') + L"b");
    EXPECT_EQ(ustawienia.savedTextColor, 0x00FFFFFFu) << "nothing is written past the directive";
}


Bytes ImageBytes(const Settings& settings)
{
    const SettingsImage image = SettingsToImage(settings);
    return Bytes(image.begin(), image.end());
}

// A record with a value of its own in every field, and an old longer text behind the directive.
Settings DistinctSettings()
{
    Settings settings = StartSettings();
    WriteTextField(settings.compileDirective, u"tcc -o prog.exe prog.c -Wall -Wextra");
    WriteTextField(settings.compileDirective, u"tcc -o prog.exe prog.c");
    settings.savedTextColor = RGB(10, 20, 30);
    settings.savedBackgroundColor = RGB(200, 210, 220);
    LOGFONTW font = {};
    font.lfHeight = -19;
    font.lfWeight = FW_BOLD;
    font.lfItalic = 1;
    lstrcpynW(font.lfFaceName, L"Courier New", LF_FACESIZE);
    settings.savedFont = FontDescriptionFromLogFont(font);
    for (int slot = 0; slot < 19; ++slot)
        WriteTextField(settings.jumpCaptions[slot], u"pętla " + std::u16string(1, u'a' + slot));
    settings.spareValue = 7;
    return settings;
}

LOGFONTW FontOf(HFONT font)
{
    LOGFONTW description = {};
    GetObjectW(font, sizeof description, &description);
    return description;
}

TEST_F(SettingsDialogTest, SaveProjectSaveAsAndTheProjectPath)
{
    const std::wstring project = folder_.Path(L"projekt");  // typed without an extension
    const std::wstring copy = folder_.Path(L"kopia");
    const std::wstring asked = folder_.Path(L"nowy.lumo");
    WithSettingsDialog(
        [&](HWND dialog) {
            Click(dialog, IDC_SETTINGS_SAVE_PROJECT);
            EXPECT_EQ(std::wstring(project_name), project + L".lumo");
            // The start image's bytes, offset by offset, are checked by the record's own tests.
            EXPECT_EQ(ReadFileBytes(project + L".lumo"), ImageBytes(StartSettings()));

            // Once there is a project path, Save project asks nothing; it takes the edited directive.
            SetWindowTextW(Item(dialog, IDC_SETTINGS_DIRECTIVE), L"gcc -o a main.c");
            Click(dialog, IDC_SETTINGS_SAVE_PROJECT);
            const Bytes second = ReadFileBytes(project + L".lumo");
            EXPECT_EQ(std::memcmp(second.data(), L"gcc -o a main.c\0main.c", 46), 0)
                << "the old text's tail stays behind the terminator";

            Click(dialog, IDC_SETTINGS_SAVE_PROJECT_AS);
            EXPECT_EQ(std::wstring(project_name), copy + L".bin");
            EXPECT_EQ(ReadFileBytes(copy + L".bin"), second);

            // A cancelled Save as writes nothing and forgets the path, so Save project asks again.
            Click(dialog, IDC_SETTINGS_SAVE_PROJECT_AS);
            EXPECT_STREQ(project_name, L"");
            Click(dialog, IDC_SETTINGS_SAVE_PROJECT);
            EXPECT_EQ(std::wstring(project_name), asked);
            EXPECT_EQ(ReadFileBytes(asked), second);
        },
        {ChooseFile(project), ChooseFile(copy), CancelDialog(), ChooseFile(asked)});
    EXPECT_EQ(folder_.Names(), (std::vector<std::wstring>{L"kopia.bin", L"nowy.lumo", L"projekt.lumo"}));
}

TEST_F(SettingsDialogTest, SaveOpenAndSaveAsGiveIdenticalFiles)
{
    const std::wstring first = folder_.Path(L"pierwszy.lumo");
    const std::wstring second = folder_.Path(L"drugi.bin");
    ustawienia = DistinctSettings();
    WithSettingsDialog(
        [&](HWND dialog) {
            Click(dialog, IDC_SETTINGS_SAVE_PROJECT);
            ustawienia = StartSettings();
            project_name[0] = L'\0';
            Click(dialog, IDC_SETTINGS_OPEN_PROJECT);
            EXPECT_EQ(std::wstring(project_name), first);
            Click(dialog, IDC_SETTINGS_SAVE_PROJECT_AS);
        },
        {ChooseFile(first), ChooseFile(first), ChooseFile(second)});
    EXPECT_EQ(ReadFileBytes(first), ImageBytes(DistinctSettings()));
    EXPECT_EQ(ReadFileBytes(second), ReadFileBytes(first));
}

TEST_F(SettingsDialogTest, AFailedSaveIsReportedAndKeepsTheOldFile)
{
    const std::wstring readOnly = folder_.Path(L"stary.lumo");
    const Bytes old = ImageBytes(DistinctSettings());
    WriteFileBytes(readOnly, old);
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::wstring missingFolder = folder_.Path(L"brak\\projekt.lumo");

    MessageBoxSeen refused, notCreated;
    HWND settings = nullptr;
    WithSettingsDialog(
        [&](HWND dialog) {
            settings = dialog;
            lstrcpynW(project_name, readOnly.c_str(), kProjectNameCapacity);
            Click(dialog, IDC_SETTINGS_SAVE_PROJECT);
            lstrcpynW(project_name, missingFolder.c_str(), kProjectNameCapacity);
            Click(dialog, IDC_SETTINGS_SAVE_PROJECT);
        },
        {RecordMessageBox(&refused), RecordMessageBox(&notCreated)});
    EXPECT_EQ(refused.caption, L"Error");
    EXPECT_NE(refused.text.find(readOnly), std::wstring::npos) << refused.text;
    EXPECT_EQ(refused.owner, settings);
    EXPECT_EQ(ReadFileBytes(readOnly), old);
    EXPECT_EQ(notCreated.caption, L"Error");
    EXPECT_NE(notCreated.text.find(missingFolder), std::wstring::npos) << notCreated.text;
    EXPECT_EQ(folder_.Names(), std::vector<std::wstring>{L"stary.lumo"});
}

// What a failed or cancelled open must leave alone.
struct Visible {
    Bytes record;
    std::wstring projectName, directiveEdit, labelEdit, caption4, output;
    int chosenJump;
    LOGFONTW font;
    COLORREF text, background;

    static Visible Of(HWND dialog)
    {
        return {ImageBytes(ustawienia), project_name, WindowText(Item(dialog, IDC_SETTINGS_DIRECTIVE)),
                WindowText(Item(dialog, IDC_SETTINGS_LABEL)), WindowText(okno_skoku.windows[4]),
                WindowText(hOutput), ChosenJump(dialog), FontOf(hNormalFont), textColor, backgroundColor};
    }
    bool operator==(const Visible& other) const
    {
        return record == other.record && projectName == other.projectName && directiveEdit == other.directiveEdit &&
               labelEdit == other.labelEdit && caption4 == other.caption4 && output == other.output &&
               chosenJump == other.chosenJump && std::memcmp(&font, &other.font, sizeof font) == 0 &&
               text == other.text && background == other.background;
    }
};

TEST_F(SettingsDialogTest, OpenProjectThatCannotLoadChangesNothing)
{
    const Bytes image = ImageBytes(DistinctSettings());
    const std::wstring shortFile = folder_.Path(L"krotki.lumo");
    WriteFileBytes(shortFile, Bytes(image.begin(), image.end() - 1));
    const std::wstring locked = folder_.Path(L"zablokowany.lumo");
    WriteFileBytes(locked, image);
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    const std::wstring earlier = folder_.Path(L"wczesniejszy.lumo");
    lstrcpynW(project_name, earlier.c_str(), kProjectNameCapacity);
    SetOutputText(L"ostatnie wyjście");
    struct Case {
        const char* what;
        ModalDriver::Action choose;
        const wchar_t* caption;
        UINT text;
    };
    const Case cases[] = {
        {"1701 bytes", ChooseFile(shortFile), L"Error", IDS_PROJECT_NOT_READ},
        {"held open elsewhere", ChooseFile(locked), L"Error", IDS_PROJECT_NOT_OPENED},
        {"cancelled", CancelDialog(), L"Info", IDS_NO_PROJECT_CHOSEN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageBoxSeen box;
        HWND settings = nullptr;
        WithSettingsDialog(
            [&](HWND dialog) {
                settings = dialog;
                // Typing not yet stored in the record survives, as do the chosen jump and its label.
                SetWindowTextW(Item(dialog, IDC_SETTINGS_DIRECTIVE), L"wpisane, nie zapisane");
                ChooseJump(dialog, 4);
                SetWindowTextW(Item(dialog, IDC_SETTINGS_LABEL), L"nowa");
                const Visible before = Visible::Of(dialog);
                Click(dialog, IDC_SETTINGS_OPEN_PROJECT);
                EXPECT_TRUE(Visible::Of(dialog) == before);
            },
            {c.choose, RecordMessageBox(&box)});
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.text, MessageText(c.text));
        EXPECT_EQ(box.owner, settings);
        EXPECT_EQ(std::wstring(project_name), earlier);
    }
    CloseHandle(holder);
}

TEST_F(SettingsDialogTest, OpenProjectLoadsAndShowsTheRecord)
{
    const Settings distinct = DistinctSettings();
    const Bytes image = ImageBytes(distinct);
    Bytes longer = image;
    longer.resize(5000, 0xAB);
    // Every text field full to its width, with no terminator.
    Bytes unterminated = image;
    for (std::size_t at = 0; at < 1200; at += 2)
        unterminated[at] = 'd', unterminated[at + 1] = 0;
    for (std::size_t at = 1236; at < 1300; at += 2)
        unterminated[at] = 'f', unterminated[at + 1] = 0;
    for (std::size_t at = 1300; at < 1700; at += 2)
        unterminated[at] = 'c', unterminated[at + 1] = 0;

    struct Case {
        const char* what;
        const Bytes* bytes;
        std::wstring directive, caption0, caption18, face;
    };
    const Case cases[] = {
        {"1702 bytes", &image, L"tcc -o prog.exe prog.c", L"pętla a", L"pętla s", L"Courier New"},
        {"5000 bytes", &longer, L"tcc -o prog.exe prog.c", L"pętla a", L"pętla s", L"Courier New"},
        {"no terminators", &unterminated, std::wstring(599, L'd'), std::wstring(9, L'c'), std::wstring(9, L'c'),
         std::wstring(31, L'f')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = folder_.Path(L"wczytany.lumo");
        WriteFileBytes(path, *c.bytes);
        ustawienia = StartSettings();
        ApplySettings();
        SetOutputText(L"ostatnie wyjście");
        WithSettingsDialog(
            [&](HWND dialog) {
                ChooseJump(dialog, 7);
                HFONT before = hNormalFont;
                Click(dialog, IDC_SETTINGS_OPEN_PROJECT);
                EXPECT_EQ(GetObjectType(before), 0u) << "the replaced font is deleted";
                EXPECT_EQ(ChosenJump(dialog), 0);
                EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_LABEL)), c.caption0);
                EXPECT_EQ(WindowText(Item(dialog, IDC_SETTINGS_DIRECTIVE)), c.directive);
            },
            {ChooseFile(path)});
        EXPECT_EQ(std::wstring(project_name), path);
        EXPECT_EQ(WindowText(hOutput), c.directive);
        EXPECT_EQ(Field(ustawienia.compileDirective), c.directive);
        EXPECT_EQ(WindowText(okno_skoku.windows[0]), c.caption0);
        EXPECT_EQ(WindowText(okno_skoku.windows[18]), c.caption18);
        EXPECT_EQ(textColor, RGB(10, 20, 30));
        EXPECT_EQ(backgroundColor, RGB(200, 210, 220));
        EXPECT_EQ(ustawienia.spareValue, 7);
        const LOGFONTW font = FontOf(hNormalFont);
        EXPECT_EQ(font.lfHeight, -19);
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        EXPECT_EQ(font.lfFaceName, c.face);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(hEdit, WM_GETFONT, 0, 0)), hNormalFont);
        EXPECT_TRUE(PaneFontFollows(hNormalFont));
    }
}

TEST_F(SettingsDialogTest, AProjectWithAnAllZeroFontGivesTheDefaultFont)
{
    Settings zeroFont = DistinctSettings();
    zeroFont.savedFont = {};
    const std::wstring path = folder_.Path(L"bez_czcionki.lumo");
    WriteFileBytes(path, ImageBytes(zeroFont));
    WithSettingsDialog([&](HWND dialog) { Click(dialog, IDC_SETTINGS_OPEN_PROJECT); }, {ChooseFile(path)});

    const LOGFONTW zero = {};
    const LOGFONTW made = FontOf(hNormalFont);
    EXPECT_EQ(std::memcmp(&made, &zero, sizeof zero), 0) << made.lfFaceName;
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(hEdit, WM_GETFONT, 0, 0)), hNormalFont);
    // The system fills in a real face for it, which is not the start font.
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, hNormalFont);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(std::wstring(face), L"");
    EXPECT_NE(std::wstring(face) + L" " + std::to_wstring(metrics.tmHeight),
              std::wstring(startFont_.lfFaceName) + L" " + std::to_wstring(std::abs(startFont_.lfHeight)));
}


bool Topmost(HWND window)
{
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// In the colour chooser: the red, green and blue edits, then OK.
ModalDriver::Action PickColor(COLORREF color)
{
    return [color](HWND chooser) {
        SetDlgItemInt(chooser, 706, GetRValue(color), FALSE);
        SetDlgItemInt(chooser, 707, GetGValue(color), FALSE);
        SetDlgItemInt(chooser, 708, GetBValue(color), FALSE);
        PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    };
}

TEST_F(SettingsDialogTest, TheColourChooserSetsAColourAndCancelKeepsIt)
{
    WithSettingsDialog(
        [](HWND dialog) {
            Click(dialog, IDC_SETTINGS_BACKGROUND_COLOR);
            Click(dialog, IDC_SETTINGS_TEXT_COLOR);
            Click(dialog, IDC_SETTINGS_TEXT_COLOR);
            Click(dialog, IDC_SETTINGS_BACKGROUND_COLOR);
            EXPECT_TRUE(Topmost(dialog));
        },
        {PickColor(RGB(0, 0, 128)), PickColor(RGB(255, 255, 0)), CancelDialog(), CancelDialog()});
    EXPECT_EQ(backgroundColor, RGB(0, 0, 128));
    EXPECT_EQ(ustawienia.savedBackgroundColor, RGB(0, 0, 128));
    EXPECT_EQ(textColor, RGB(255, 255, 0));
    EXPECT_EQ(ustawienia.savedTextColor, RGB(255, 255, 0));

    // The editor draws with the chosen colours.
    HDC dc = GetDC(hEdit);
    SendMessageW(mHwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hEdit));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 128));
    ReleaseDC(hEdit, dc);
}

TEST_F(SettingsDialogTest, TheFontChooserSetsTheEditorFontAndCancelKeepsIt)
{
    std::wstring face;
    HWND settings = nullptr;
    bool topmostWhileChoosing = true;
    const ModalDriver::Action chooseFace = [&](HWND chooser) {
        topmostWhileChoosing = Topmost(settings);
        HWND faces = GetDlgItem(chooser, 1136);
        HWND sizes = GetDlgItem(chooser, 1138);
        // Any face but the one the chooser starts with, at 20 points.
        const LRESULT count = SendMessageW(faces, CB_GETCOUNT, 0, 0);
        const LRESULT entry = count > 1 && SendMessageW(faces, CB_GETCURSEL, 0, 0) == count / 2 ? count / 2 + 1 : count / 2;
        SendMessageW(faces, CB_SETCURSEL, entry, 0);
        SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(1136, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
        face = WindowText(faces);
        const LRESULT twenty = SendMessageW(sizes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"20"));
        SendMessageW(sizes, CB_SETCURSEL, twenty, 0);
        SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(1138, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
        PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    };
    HFONT chosen = nullptr;
    WithSettingsDialog(
        [&](HWND dialog) {
            settings = dialog;
            Click(dialog, IDC_SETTINGS_FONT);
            EXPECT_TRUE(Topmost(dialog));
            chosen = hNormalFont;
            Click(dialog, IDC_SETTINGS_FONT);
            EXPECT_TRUE(Topmost(dialog));
        },
        {chooseFace, CancelDialog()});
    EXPECT_FALSE(topmostWhileChoosing) << "the chooser is not hidden behind the settings dialog";
    ASSERT_NE(face, L"");
    EXPECT_EQ(hNormalFont, chosen) << "cancelling keeps the font chosen before";
    const LOGFONTW made = FontOf(hNormalFont);
    EXPECT_EQ(made.lfFaceName, face);
    EXPECT_EQ(made.lfHeight, -MulDiv(20, 96, 72));
    const LOGFONTW saved = LogFontFromDescription(ustawienia.savedFont);
    EXPECT_EQ(std::memcmp(&saved, &made, sizeof made), 0);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(hEdit, WM_GETFONT, 0, 0)), hNormalFont);
    EXPECT_TRUE(PaneFontFollows(hNormalFont));
    EXPECT_NE(reinterpret_cast<HFONT>(SendMessageW(okno_skoku.windows[0], WM_GETFONT, 0, 0)), hNormalFont)
        << "the bars keep their own font";
}

// Paints the directive's label red, lets it paint itself again, and reads the colour it left
// behind its text.
COLORREF RepaintedLabelBackground(HWND dialog)
{
    HWND label = Item(dialog, IDC_SETTINGS_DIRECTIVE_LABEL);
    if (!label)
        label = Item(dialog, IDC_SEARCH_LABEL);  // the search dialog
    RECT client;
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &client, red);
    DeleteObject(red);
    RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const COLORREF color = GetPixel(dc, client.right - 2, client.bottom / 2);
    ReleaseDC(label, dc);
    return color;
}

// The dialog's fill and its frame after a full repaint.
std::pair<COLORREF, COLORREF> RepaintedFillAndFrame(HWND dialog)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(dialog);
    const std::pair<COLORREF, COLORREF> colors = {GetPixel(dc, 4, 4), GetPixel(dc, 0, 4)};
    ReleaseDC(dialog, dc);
    return colors;
}

void ExpectPaintsDark(HWND dialog, const char* when)
{
    SCOPED_TRACE(when);
    EXPECT_EQ(GetObjectType(DialogBrush(dialog)), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(RepaintedLabelBackground(dialog), RGB(20, 20, 20));
    EXPECT_EQ(RepaintedFillAndFrame(dialog), std::make_pair(RGB(20, 20, 20), RGB(205, 205, 205)));
}

// The OK button of either dialog: id 2 in the settings dialog, its own id in the search dialog.
void CloseWithOk(HWND dialog)
{
    Click(dialog, Item(dialog, IDCANCEL) ? IDCANCEL : IDC_SEARCH_OK);
}

// A second settings dialog or the search dialog opened over the settings dialog, each closed
// first in turn: the one still open paints with a live brush of its own until it closes, and
// no brush outlives its dialog.
TEST_F(SettingsDialogTest, TwoDialogsAtOnceEachPaintToTheEndWhicheverClosesFirst)
{
    const std::pair<int, bool> cases[] = {
        {IDC_OPTIONS, true}, {IDC_OPTIONS, false}, {IDC_SEARCH, true}, {IDC_SEARCH, false}};
    for (const auto& [secondButton, newerClosesFirst] : cases) {
        SCOPED_TRACE(secondButton == IDC_SEARCH ? "search dialog second" : "settings dialog second");
        SCOPED_TRACE(newerClosesFirst ? "newer closes first" : "older closes first");
        HBRUSH olderBrush = nullptr, newerBrush = nullptr;
        HWND older = nullptr, newer = nullptr;
        const ModalDriver::Action second = [&](HWND dialog) {
            newer = dialog;
            newerBrush = DialogBrush(newer);
            SetWindowPos(newer, nullptr, ScreenWidth() / 2, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            ExpectPaintsDark(older, "both open, the older");
            ExpectPaintsDark(newer, "both open, the newer");
            EXPECT_NE(olderBrush, newerBrush);
            if (!newerClosesFirst) {
                CloseWithOk(older);
                EXPECT_FALSE(IsWindowVisible(older));
                ExpectPaintsDark(newer, "after the older closed");
            }
            CloseWithOk(newer);
        };
        WithSettingsDialog(
            [&](HWND dialog) {
                older = dialog;
                olderBrush = DialogBrush(older);
                SetWindowPos(older, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                PressCommandBarButton(secondButton);
                EXPECT_FALSE(IsWindow(newer));
                if (newerClosesFirst)
                    ExpectPaintsDark(older, "after the newer closed");
            },
            {second});
        EXPECT_FALSE(IsWindow(older));
        EXPECT_EQ(GetObjectType(olderBrush), 0u);
        EXPECT_EQ(GetObjectType(newerBrush), 0u);
    }
}

}  // namespace
