// The copy of unsaved text, written once typing rests and removed when the text is on disk;
// the copies of ended sessions offered at start; the workspace's file opened at start. The
// round trip through a killed program is the black-box test's.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "files/recovery.h"
#include "files/recovery_copy.h"
#include "files/text_file.h"
#include "resources/resource_ids.h"
#include "search/search_replace_dialog.h"
#include "text/wide.h"
#include "tests/win/win_test_support.h"
#include "win32/messages.h"
#include "win32/process_state.h"

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<RecoveryCopy> CopyOnDisk(const std::wstring& path)
{
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    return ReadRecoveryCopy({bytes.data(), bytes.size()});
}

// Lets the messages through, timers included, until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3 * kRecoveryDelayMs)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!done() && GetTickCount64() < deadline) {
        PumpPendingMessages();
        Sleep(20);
    }
    return done();
}

bool CopyHolds(const std::u16string& text)
{
    const std::optional<RecoveryCopy> copy = CopyOnDisk(RecoveryCopyPath());
    return copy && copy->text == text;
}

std::wstring LeftCopy(bool declined)
{
    // This process's id with a start time it never had: a session that has ended.
    return RecoveryFolder() + L"\\" + AsWideString(RecoveryFileName({{GetCurrentProcessId(), 1}, declined}));
}

void WriteCopy(const std::wstring& path, const RecoveryCopy& copy)
{
    const std::vector<std::uint8_t> bytes = RecoveryCopyBytes(copy);
    WriteFileBytes(path, {bytes.begin(), bytes.end()});
}

class RecoveryTest : public testing::Test {
protected:
    void SetUp() override
    {
        current_file[0] = L'\0';
        current_line_ends = LineEnds::CrLf;
        SetWindowTextW(hEdit, L"");
        SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
        DiscardRecoveryCopy();
        SetFocus(hEdit);
    }
    void TearDown() override { SetUp(); }
    TempFolder folder_;
};

// A file with LF line ends: its copy holds them too, as the file would.
TEST_F(RecoveryTest, TheCopyFollowsTheUnsavedText)
{
    const std::wstring path = folder_.Path(L"main.c");
    WriteFileBytes(path, {'a', '\n', 'b'});
    ASSERT_TRUE(LoadTextFileToEdit(hEdit, mHwnd, path.c_str()));
    SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
    lstrcpynW(current_file, path.c_str(), kCurrentFileCapacity);
    SendMessageW(hEdit, EM_SETSEL, 4, 4);

    ASSERT_TRUE(TypeOnKeyboard(L"c", [] { return WindowText(hEdit) == L"a\r\nbc"; }));
    const ULONGLONG typed = GetTickCount64();
    ASSERT_TRUE(PumpUntil([] { return CopyHolds(u"a\nbc"); }));
    EXPECT_GE(GetTickCount64() - typed, kRecoveryDelayMs - 100) << "not before typing rests";
    EXPECT_EQ(CopyOnDisk(RecoveryCopyPath())->file, AsUtf16View(path));
    EXPECT_EQ(CopyOnDisk(RecoveryCopyPath())->time.size(), 19u) << "the date and time it was written";

    // A Replace sets the whole text anew; the copy follows it too. Undo back to the text on disk
    // needs no copy, and a save removes it at once.
    replaceExactTextInEdit(hEdit, L"a", L"x");
    ASSERT_TRUE(PumpUntil([] { return CopyHolds(u"x\nbc"); }));
    SendMessageW(hEdit, WM_UNDO, 0, 0);
    SendMessageW(hEdit, WM_UNDO, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return !Exists(RecoveryCopyPath()); }));
    SendMessageW(hEdit, WM_CHAR, 0x19, 1);
    ASSERT_TRUE(PumpUntil([] { return CopyHolds(u"a\nbc"); }));
    ASSERT_TRUE(SaveEditorText(false));
    EXPECT_FALSE(Exists(RecoveryCopyPath()));
    PumpUntil([] { return false; }, kRecoveryDelayMs + 500);
    EXPECT_FALSE(Exists(RecoveryCopyPath())) << "and no later rest writes it again";
}

// No keeps an ended session's copy for one more start, a second No removes it; Yes loads it as
// unsaved text under its file's name and line ends, the file untouched. A running editor's
// copy is not offered.
TEST_F(RecoveryTest, LeftCopiesAreOfferedBack)
{
    const std::wstring file = folder_.Path(L"zadanie.c");
    WriteFileBytes(file, {'o', 'l', 'd'});
    WriteCopy(LeftCopy(false), {AsUtf16(file.c_str()), u"2026-12-08 01:02:03", u"int x;\n"});
    // Another editor still running: a process of the test's own.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = self;
    line = L"\"" + line.substr(0, line.find_last_of(L'\\')) + L"\\child_program.exe\" forever";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               folder_.Path(L"").c_str(), &startup, &other));
    FILETIME created, unused[3];
    GetProcessTimes(other.hProcess, &created, &unused[0], &unused[1], &unused[2]);
    const std::wstring running = RecoveryFolder() + L"\\" +
        AsWideString(RecoveryFileName({{other.dwProcessId, (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime}, false}));
    WriteCopy(running, {u"", u"t", u"typed elsewhere"});

    std::wstring said;
    const auto answer = [&said](int button) {
        return [&said, button](HWND box) {
            wchar_t text[1024] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            said = WindowText(box) + L"|" + text;
            PostMessageW(box, WM_COMMAND, button, 0);
        };
    };
    for (int answerNo = 0; answerNo < 2; ++answerNo) {
        ModalDriver driver({answer(IDNO)});
        OfferRecoveredText(mHwnd);
        EXPECT_EQ(driver.handled(), 1);
        EXPECT_EQ(driver.unexpected(), 0) << "only the ended session's copy";
        EXPECT_EQ(Exists(LeftCopy(true)), answerNo == 0) << "kept for one more start, then gone";
        if (answerNo == 0) {
            ASSERT_TRUE(CopyFileW(LeftCopy(true).c_str(), folder_.Path(L"kept").c_str(), FALSE));
        }
    }
    EXPECT_EQ(said, L"Odzyskiwanie tekstu|" + MessageText(IDS_RECOVERY_OFFER) + L"\n\n" + MessageText(IDS_RECOVERY_FILE) +
                        file + L"\n" + MessageText(IDS_RECOVERY_TIME) + L"2026-12-08 01:02:03");
    EXPECT_EQ(WindowText(hEdit), L"");

    ASSERT_TRUE(MoveFileW(folder_.Path(L"kept").c_str(), LeftCopy(true).c_str()));
    {
        ModalDriver driver({answer(IDYES)});
        OfferRecoveredText(mHwnd);
        EXPECT_EQ(driver.unexpected(), 0);
    }
    EXPECT_EQ(WindowText(hEdit), L"int x;\r\n");
    EXPECT_EQ(current_line_ends, LineEnds::Lf);
    EXPECT_TRUE(SendMessageW(hEdit, EM_GETMODIFY, 0, 0)) << "as unsaved text";
    EXPECT_EQ(WindowText(mHwnd), file);
    EXPECT_EQ(ReadFileBytes(file), (std::vector<unsigned char>{'o', 'l', 'd'})) << "the file is untouched";
    EXPECT_FALSE(Exists(LeftCopy(true)));
    EXPECT_TRUE(CopyHolds(u"int x;\n")) << "the text is this session's copy now";
    EXPECT_TRUE(Exists(running)) << "another editor's copy stays its own";
    TerminateProcess(other.hProcess, 0);
    WaitForSingleObject(other.hProcess, 5000);
    CloseHandle(other.hThread);
    CloseHandle(other.hProcess);
    DeleteFileW(running.c_str());
    // Undo cannot lead the recovered text to a saved state it never had.
    ASSERT_TRUE(TypeOnKeyboard(L"y", [] { return WindowText(hEdit).size() == 9; }));
    SendMessageW(hEdit, WM_UNDO, 0, 0);
    EXPECT_TRUE(SendMessageW(hEdit, EM_GETMODIFY, 0, 0));
}

// The editor opens the source file the directive compiles when the start folder holds it.
TEST_F(RecoveryTest, TheWorkspacesFileIsOpenedAtStart)
{
    wchar_t savedStart[kCurrentPathCapacity];
    lstrcpynW(savedStart, currentPathA, kCurrentPathCapacity);
    std::wstring folder = folder_.Path(L"");
    folder.pop_back();
    lstrcpynW(currentPathA, folder.c_str(), kCurrentPathCapacity);
    SetWindowTextW(mHwnd, L"");
    OpenStartText();
    EXPECT_EQ(WindowText(mHwnd), L"") << "no main.c: an empty editor";

    WriteFileBytes(folder_.Path(L"main.c"), {'i', 'n', 't'});
    OpenStartText();
    EXPECT_EQ(WindowText(hEdit), L"int");
    EXPECT_EQ(WindowText(mHwnd), folder_.Path(L"main.c"));
    EXPECT_FALSE(SendMessageW(hEdit, EM_GETMODIFY, 0, 0));
    lstrcpynW(currentPathA, savedStart, kCurrentPathCapacity);
}

}  // namespace
