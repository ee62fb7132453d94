// Text files: the bytes written, the forms read, and the real file dialogs around them.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/window_ops.h"
#include "files/file_io.h"
#include "files/text_file.h"
#include "resources/resource_ids.h"
#include "search/search_replace_dialog.h"
#include "tests/win/win_test_support.h"
#include "text/wide.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_groups.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Decoded(const std::wstring& text)
{
    return Bytes(text.begin(), text.end());
}

class TextFileTest : public testing::Test {
protected:
    // As after an earlier open: the path is current and the title names it.
    static void MakeCurrent(const std::wstring& path)
    {
        lstrcpynW(current_file, path.c_str(), kCurrentFileCapacity);
        SetWindowTextW(mHwnd, path.c_str());
    }

    void SetUp() override
    {
        current_file[0] = L'\0';
        current_line_ends = LineEnds::CrLf;
        SetWindowTextW(mHwnd, L"");
        SetWindowTextW(hEdit, L"");
    }
    void TearDown() override { SetUp(); }

    TempFolder folder_;
};

// A file with LF line ends, as files from a code host have: the editor shows its lines, Replace's
// "\n" finds them, and a save writes LF again.
TEST_F(TextFileTest, AFileWithLfLineEndsKeepsThemThroughEditingAndSaving)
{
    const std::wstring path = folder_.Path(L"lf.c");
    WriteFileBytes(path, {'a', ';', '\n', 'b', ';', '\n'});
    {
        ModalDriver driver({ChooseFile(path)});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(WindowText(hEdit), L"a;\r\nb;\r\n");
    EXPECT_EQ(SendMessageW(hEdit, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_FALSE(SendMessageW(hEdit, EM_GETMODIFY, 0, 0)) << "loading is no change";

    replaceExactTextInEdit(hEdit, L";\\n", L";\\n\\n");
    EXPECT_EQ(WindowText(hEdit), L"a;\r\n\r\nb;\r\n\r\n");
    {
        ModalDriver driver({});
        PressCommandBarButton(IDC_SAVE);
        EXPECT_EQ(driver.unexpected(), 0);
    }
    EXPECT_EQ(ReadFileBytes(path), (Bytes{'a', ';', '\n', '\n', 'b', ';', '\n', '\n'}));

    // Text that never came from a file is written with CR LF.
    const std::wstring fresh = folder_.Path(L"nowy.c");
    current_line_ends = LineEnds::CrLf;
    SetWindowTextW(hEdit, L"x;\r\n");
    {
        ModalDriver driver({ChooseFile(fresh)});
        PressCommandBarButton(IDC_SAVE_AS);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(ReadFileBytes(fresh), (Bytes{'x', ';', '\r', '\n'}));
}

TEST(TextFileSave, WritesUtf8WithoutAMark)
{
    struct Case {
        const wchar_t* text;
        Bytes bytes;
    };
    const Case cases[] = {
        {L"int a;\r\n\u0105", {0x69, 0x6E, 0x74, 0x20, 0x61, 0x3B, 0x0D, 0x0A, 0xC4, 0x85}},
        {L"", {}},
        {L"a\nb", {0x61, 0x0A, 0x62}},                          // a lone LF stays as it is
        {L"\U0001F600", {0xF0, 0x9F, 0x98, 0x80}},               // a surrogate pair is one character
        {L"\xD800x\xDC00", {0xEF, 0xBF, 0xBD, 0x78, 0xEF, 0xBF, 0xBD}},  // lone surrogates
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const std::wstring path = folder.Path(L"out.c");
        ASSERT_TRUE(SaveTextToFile(path.c_str(), c.text)) << c.text;
        EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.text;
    }
    EXPECT_FALSE(SaveTextToFile(L"", L"x"));
    EXPECT_FALSE(SaveTextToFile(nullptr, L"x"));
}

TEST(TextFileLoad, AcceptedForms)
{
    struct Case {
        const char* what;
        Bytes bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"mark alone", {0xFF, 0xFE}, L""},
        {"odd last byte", {0xFF, 0xFE, 0x41, 0x00, 0x42}, L"A"},
        {"UTF-16 Polish", {0xFF, 0xFE, 0x05, 0x01, 0x0D, 0x00, 0x0A, 0x00}, L"\u0105\r\n"},
        {"ANSI up to a NUL", {'a', 'b', 0x00, 'c', 'd'}, L"ab"},
        {"UTF-8 with mark", {0xEF, 0xBB, 0xBF, 0xC4, 0x85, 'x'}, L"\u0105x"},
        {"UTF-8 without mark", {0xC5, 0xBC, 0xC3, 0xB3, 0xC5, 0x82, 'w'}, L"\u017C\u00F3\u0142w"},
        {"outside the BMP", {0xF0, 0x9F, 0x98, 0x80}, L"\U0001F600"},
        {"LF only", {'a', '\n', 'b', '\n'}, L"a\nb\n"},
        {"empty", {}, L""},
    };
    for (const Case& c : cases) {
        std::u16string text;
        ASSERT_EQ(DecodeTextFileBytes(c.bytes, text), DecodeOutcome::Decoded) << c.what;
        EXPECT_EQ(AsWideString(text), c.text) << c.what;
    }
}

TEST(TextFileLoad, BytesThatAreNotUtf8UseTheAnsiCodePage)
{
    const Bytes latin = {'c', 'a', 'f', 0xE9};
    wchar_t expected[8] = {};
    MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(latin.data()), 4, expected, 8);
    std::u16string text;
    ASSERT_EQ(DecodeTextFileBytes(latin, text), DecodeOutcome::Decoded);
    EXPECT_EQ(AsWideString(text), expected);
    EXPECT_EQ(text.size(), 4u) << "one byte, one character in a single-byte code page";
}

TEST(TextFileRoundTrip, SavedTextComesBackUnchanged)
{
    TempFolder folder;
    for (const wchar_t* text : {L"int main(void)\r\n{\r\n    return 0;\r\n}\r\n",
                                L"// zażółć gęślą jaźń\r\nprintf(\"ĄĘŚ\");", L"char *s = \"\U0001F600\";"}) {
        const std::wstring path = folder.Path(L"round.c");
        ASSERT_TRUE(SaveTextToFile(path.c_str(), text));
        std::u16string loaded;
        ASSERT_EQ(DecodeTextFileBytes(ReadFileBytes(path), loaded), DecodeOutcome::Decoded);
        EXPECT_EQ(AsWideString(loaded), text);
    }
}

TEST_F(TextFileTest, OpenThroughTheDialogLoadsTextPathAndTitleTogether)
{
    const std::wstring path = folder_.Path(L"zadanie.c");
    WriteFileBytes(path, {0xEF, 0xBB, 0xBF, 'i', 'n', 't', ' ', 0xC4, 0x85, ';'});
    ModalDriver driver({ChooseFile(path)});
    PressCommandBarButton(IDC_OPEN);
    EXPECT_EQ(driver.handled(), 1);
    EXPECT_EQ(WindowText(hEdit), L"int \u0105;");
    EXPECT_EQ(std::wstring(current_file), path);
    EXPECT_EQ(WindowText(mHwnd), path);
}

TEST_F(TextFileTest, OpeningAnEmptyFileEmptiesTheEditor)
{
    const std::wstring path = folder_.Path(L"empty.c");
    WriteFileBytes(path, {});
    SetWindowTextW(hEdit, L"old text");
    ModalDriver driver({ChooseFile(path)});
    PressCommandBarButton(IDC_OPEN);
    EXPECT_EQ(WindowText(hEdit), L"");
    EXPECT_EQ(std::wstring(current_file), path);
}

TEST_F(TextFileTest, CancelledOpenAndUnreadableFilesChangeNothing)
{
    const std::wstring earlier = folder_.Path(L"earlier.c");
    MakeCurrent(earlier);
    SetWindowTextW(hEdit, L"kept");

    {
        ModalDriver driver({CancelDialog()});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_EQ(driver.handled(), 1);
    }

    // A file another program holds open without sharing.
    const std::wstring locked = folder_.Path(L"locked.c");
    WriteFileBytes(locked, {'x'});
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    MessageBoxSeen box;
    {
        ModalDriver driver({ChooseFile(locked), RecordMessageBox(&box)});
        PressCommandBarButton(IDC_OPEN);
        EXPECT_TRUE(driver.finished());
    }
    CloseHandle(holder);
    EXPECT_EQ(box.caption, L"Błąd");
    EXPECT_EQ(box.text, MessageText(IDS_FILE_NOT_OPENED));

    // Every length reaches the system as an int, so 2 GiB and more is refused whole: up to 4 GiB
    // such a size turned negative and opened as an empty text. Sparse files cost no disk space.
    for (const LONGLONG bytes : {0x80000000LL, 0xFFFFFFFFLL}) {
        const std::wstring huge = folder_.Path(L"huge.c");
        HANDLE file = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD ignored = 0;
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = bytes;
        ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file));
        CloseHandle(file);
        MessageBoxSeen tooLarge;
        {
            ModalDriver driver({ChooseFile(huge), RecordMessageBox(&tooLarge)});
            PressCommandBarButton(IDC_OPEN);
            EXPECT_TRUE(driver.finished());
        }
        EXPECT_EQ(tooLarge.caption, L"Error") << bytes;
        EXPECT_NE(tooLarge.text.find(L"2 GiB"), std::wstring::npos) << tooLarge.text;
        DeleteFileW(huge.c_str());
    }

    EXPECT_EQ(WindowText(hEdit), L"kept");
    EXPECT_EQ(std::wstring(current_file), earlier);
    EXPECT_EQ(WindowText(mHwnd), earlier);
}

TEST_F(TextFileTest, SaveAsChoosesTheFileAndSaveThenReusesIt)
{
    SetWindowTextW(hEdit, L"int a;\r\n\u0105");
    const std::wstring typed = folder_.Path(L"program");  // no extension typed
    const std::wstring path = typed + L".txt";
    {
        ModalDriver driver({ChooseFile(typed)});
        PressCommandBarButton(IDC_SAVE_AS);
        EXPECT_EQ(driver.handled(), 1);
    }
    EXPECT_EQ(std::wstring(current_file), path);
    EXPECT_EQ(WindowText(mHwnd), path);
    EXPECT_EQ(ReadFileBytes(path), (Bytes{0x69, 0x6E, 0x74, 0x20, 0x61, 0x3B, 0x0D, 0x0A, 0xC4, 0x85}));

    SetWindowTextW(hEdit, L"second");
    {
        ModalDriver driver({});
        PressCommandBarButton(IDC_SAVE);
        EXPECT_EQ(driver.unexpected(), 0) << "Save with a current file asks nothing";
    }
    EXPECT_EQ(ReadFileBytes(path), Decoded(L"second"));
    EXPECT_EQ(WindowText(hEdit), L"second") << "saving leaves the editor alone";

    // Save as asks even now, and an existing file is replaced only after a confirmation.
    SetWindowTextW(hEdit, L"third");
    {
        ModalDriver driver({ChooseFile(path), PressButton(IDYES)});
        PressCommandBarButton(IDC_SAVE_AS);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(ReadFileBytes(path), Decoded(L"third"));
}

TEST_F(TextFileTest, CancelledSaveAsWritesNothingAndKeepsTheCurrentFile)
{
    const std::wstring earlier = folder_.Path(L"earlier.c");
    MakeCurrent(earlier);
    SetWindowTextW(hEdit, L"text");
    {
        ModalDriver driver({CancelDialog()});
        PressCommandBarButton(IDC_SAVE_AS);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0) << "a cancelled save shows no message";
    }
    EXPECT_EQ(std::wstring(current_file), earlier);
    EXPECT_EQ(WindowText(mHwnd), earlier) << "the title names the current file";
    EXPECT_EQ(GetFileAttributesW(earlier.c_str()), INVALID_FILE_ATTRIBUTES);

    // Save writes to the file the title names, without asking.
    {
        ModalDriver driver({});
        PressCommandBarButton(IDC_SAVE);
        EXPECT_EQ(driver.unexpected(), 0);
    }
    EXPECT_EQ(ReadFileBytes(earlier), Decoded(L"text"));
}

TEST_F(TextFileTest, AFailedSaveIsReportedAndKeepsTheOldFile)
{
    const std::wstring path = folder_.Path(L"readonly.c");
    WriteFileBytes(path, Decoded(L"old contents"));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    lstrcpynW(current_file, path.c_str(), kCurrentFileCapacity);
    SetWindowTextW(hEdit, L"new contents");

    MessageBoxSeen box;
    {
        ModalDriver driver({RecordMessageBox(&box)});
        PressCommandBarButton(IDC_SAVE);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(box.caption, L"Error");
    EXPECT_NE(box.text.find(path), std::wstring::npos) << box.text;
    EXPECT_EQ(ReadFileBytes(path), Decoded(L"old contents"));
    EXPECT_EQ(std::wstring(current_file), path);

    const std::wstring missingFolder = folder_.Path(L"no such folder\\x.c");
    lstrcpynW(current_file, missingFolder.c_str(), kCurrentFileCapacity);
    MessageBoxSeen missing;
    {
        ModalDriver driver({RecordMessageBox(&missing)});
        PressCommandBarButton(IDC_SAVE);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(missing.caption, L"Error");
    EXPECT_NE(missing.text.find(missingFolder), std::wstring::npos) << missing.text;
}

// The writer's failures, forced where a full disk or a folder that takes no new files would force them.
TEST(SafeWrite, AFailureLeavesTheOldFileAsItWasAndNothingBesideIt)
{
    const Bytes oldBytes = Decoded(L"int old;");
    const Bytes longer = Decoded(L"int main(void) { return 0; }");
    const Bytes shorter = Decoded(L"x");
    struct Case {
        const char* what;
        bool existed;
        const Bytes* text;
        WriteFaults faults;
        bool written;
    };
    const Case cases[] = {
        {"replaces an existing file", true, &longer, {}, true},
        {"creates a new file", false, &longer, {}, true},
        {"nothing written at all", true, &longer, {.failAfterBytes = 0}, false},
        {"fails midway", true, &longer, {.failAfterBytes = 5}, false},
        {"fails one byte short", true, &longer, {.failAfterBytes = longer.size() - 1}, false},
        {"a new file fails midway", false, &longer, {.failAfterBytes = 5}, false},
        {"in place, longer", true, &longer, {.noFileBeside = true}, true},
        {"in place, shorter", true, &shorter, {.noFileBeside = true}, true},
        {"in place fails midway", true, &longer, {.failAfterBytes = 5, .noFileBeside = true}, false},
        // The old bytes go back and the file is cut to their length again.
        {"in place fails past the old length", true, &longer,
         {.failAfterBytes = oldBytes.size() + 4, .noFileBeside = true}, false},
        {"in place needs the file to exist", false, &longer, {.noFileBeside = true}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::wstring path = folder.Path(L"main.c");
        if (c.existed)
            WriteFileBytes(path, oldBytes);
        EXPECT_EQ(WriteFileSafely(path.c_str(), *c.text, c.faults), c.written);
        const bool fileThere = c.existed || c.written;
        EXPECT_EQ(folder.Names(), fileThere ? std::vector<std::wstring>{L"main.c"} : std::vector<std::wstring>{});
        if (fileThere) {
            EXPECT_EQ(ReadFileBytes(path), c.written ? *c.text : oldBytes);
        }
    }

    // A replaced file keeps its attributes.
    TempFolder folder;
    const std::wstring hidden = folder.Path(L"hidden.c");
    WriteFileBytes(hidden, oldBytes);
    ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(SaveTextToFile(hidden.c_str(), L"int main;"));
    EXPECT_EQ(ReadFileBytes(hidden), Decoded(L"int main;"));
    EXPECT_TRUE(GetFileAttributesW(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    // A file that another program keeps open for reading cannot be replaced, but still saves.
    const std::wstring shared = folder.Path(L"shared.c");
    WriteFileBytes(shared, oldBytes);
    HANDLE reader = CreateFileW(shared.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SaveTextToFile(shared.c_str(), L"int main;"));
    CloseHandle(reader);
    EXPECT_EQ(ReadFileBytes(shared), Decoded(L"int main;"));
    EXPECT_EQ(folder.Names(), (std::vector<std::wstring>{L"hidden.c", L"shared.c"}));
}

TEST_F(TextFileTest, AfterSavingThroughTheDialogTypingGoesOnInTheEditor)
{
    SetWindowTextW(hEdit, L"int a;");
    SendMessageW(hEdit, EM_SETSEL, 6, 6);
    SetForegroundWindow(mHwnd);
    SetFocus(okno_dzialan.windows[2]);  // where a click on "Save as" leaves the keyboard
    {
        ModalDriver driver({ChooseFile(folder_.Path(L"typed.c"))});
        PressCommandBarButton(IDC_SAVE_AS);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_TRUE(TypeOnKeyboard(L" b;", [] { return WindowText(hEdit) == L"int a; b;"; })) << WindowText(hEdit);

    // Whenever the main window itself gets the keyboard, it hands it on to the editor.
    SetFocus(mHwnd);
    EXPECT_EQ(GetFocus(), hEdit);
}

}  // namespace
