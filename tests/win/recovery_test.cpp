// The copy of unsaved text: written once typing rests, removed by a save or by undo back to the
// saved text, and offered back at start when its session has ended. Also the workspace's file
// opened at start.
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

bool CopyHolds(const std::wstring& text)
{
    const std::optional<RecoveryCopy> copy = CopyOnDisk(RecoveryCopyPath());
    return copy && copy->text == AsUtf16View(text);
}

bool NoCopy()
{
    return !Exists(RecoveryCopyPath());
}

void WriteLeftCopy(const std::wstring& name, const RecoveryCopy& copy)
{
    const std::vector<std::uint8_t> bytes = RecoveryCopyBytes(copy);
    WriteFileBytes(RecoveryFolder() + L"\\" + name, {bytes.begin(), bytes.end()});
}

class RecoveryTest : public testing::Test {
protected:
    void SetUp() override
    {
        current_file[0] = L'\0';
        SetWindowTextW(mHwnd, L"");
        SetWindowTextW(hEdit, L"");
        SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
        DiscardRecoveryCopy();
        SetFocus(hEdit);
    }
    void TearDown() override { SetUp(); }
    TempFolder folder_;
};

TEST_F(RecoveryTest, TheCopyFollowsTheUnsavedText)
{
    const std::wstring path = folder_.Path(L"main.c");
    WriteFileBytes(path, {'i', 'n', 't', ' ', 'a', ';'});
    {
        ModalDriver driver({ChooseFile(path)});
        PressCommandBarButton(IDC_OPEN);
    }
    ASSERT_EQ(WindowText(hEdit), L"int a;");
    SendMessageW(hEdit, EM_SETSEL, 6, 6);
    EXPECT_TRUE(NoCopy());

    ASSERT_TRUE(TypeOnKeyboard(L"b", [] { return WindowText(hEdit) == L"int a;b"; }));
    const ULONGLONG typed = GetTickCount64();
    ASSERT_TRUE(PumpUntil([] { return CopyHolds(L"int a;b"); })) << "a copy once typing rests";
    EXPECT_GE(GetTickCount64() - typed, kRecoveryDelayMs - 100) << "not before typing rests";
    const std::optional<RecoveryCopy> copy = CopyOnDisk(RecoveryCopyPath());
    EXPECT_EQ(copy->file, AsUtf16View(path));
    EXPECT_EQ(copy->time.size(), 19u) << "the date and time it was written";
    EXPECT_EQ(ReadFileBytes(path), (std::vector<unsigned char>{'i', 'n', 't', ' ', 'a', ';'})) << "the file is not touched";

    // A Replace sets the whole text anew; its copy follows too.
    replaceExactTextInEdit(hEdit, L"a", L"x");
    ASSERT_TRUE(PumpUntil([] { return CopyHolds(L"int x;b"); }));

    // Undo back to the text on disk: no copy is needed.
    SendMessageW(hEdit, WM_UNDO, 0, 0);
    SendMessageW(hEdit, WM_UNDO, 0, 0);
    ASSERT_EQ(WindowText(hEdit), L"int a;");
    EXPECT_TRUE(PumpUntil(NoCopy));

    // A save removes it at once.
    SendMessageW(hEdit, EM_SETSEL, 6, 6);
    ASSERT_TRUE(TypeOnKeyboard(L"c", [] { return WindowText(hEdit) == L"int a;c"; }));
    ASSERT_TRUE(PumpUntil([] { return CopyHolds(L"int a;c"); }));
    ASSERT_TRUE(SaveEditorText(false));
    EXPECT_TRUE(NoCopy());
    PumpUntil([] { return false; }, kRecoveryDelayMs + 500);
    EXPECT_TRUE(NoCopy()) << "and no later rest writes it again";
}

// A file with LF line ends keeps them in its copy, and gets them back with the recovered text.
TEST_F(RecoveryTest, ACopyKeepsItsFilesLineEnds)
{
    const std::wstring path = folder_.Path(L"lf.c");
    WriteFileBytes(path, {'a', '\n', 'b'});
    {
        ModalDriver driver({ChooseFile(path)});
        PressCommandBarButton(IDC_OPEN);
    }
    ASSERT_EQ(WindowText(hEdit), L"a\r\nb");
    SendMessageW(hEdit, EM_SETSEL, 4, 4);
    ASSERT_TRUE(TypeOnKeyboard(L"c", [] { return WindowText(hEdit) == L"a\r\nbc"; }));
    ASSERT_TRUE(PumpUntil([] { return CopyHolds(L"a\nbc"); }));

    const std::optional<RecoveryCopy> copy = CopyOnDisk(RecoveryCopyPath());
    ASSERT_TRUE(copy);
    SetUp();
    current_line_ends = LineEnds::CrLf;
    WriteLeftCopy(AsWideString(RecoveryFileName({{GetCurrentProcessId(), 1}, false})), *copy);
    {
        ModalDriver driver({PressButton(IDYES)});
        OfferRecoveredText(mHwnd);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_EQ(WindowText(hEdit), L"a\r\nbc");
    EXPECT_EQ(current_line_ends, LineEnds::Lf);
    current_line_ends = LineEnds::CrLf;
}

// Copies of ended sessions are offered newest first; No keeps one for one more start, Yes loads
// it as unsaved text; a running editor's copy and this session's own are never offered.
TEST_F(RecoveryTest, LeftCopiesAreOfferedBack)
{
    const std::wstring file = folder_.Path(L"zadanie.c");
    WriteFileBytes(file, {'o', 'l', 'd'});
    // A process id with a start time no process of that id has: the session has ended.
    const RecoverySession ended{GetCurrentProcessId(), 1};
    const std::wstring fresh = AsWideString(RecoveryFileName({ended, false}));
    const std::wstring declined = AsWideString(RecoveryFileName({ended, true}));
    WriteLeftCopy(fresh, {AsUtf16(file.c_str()), u"2026-12-08 01:02:03", u"int odzyskany;"});

    // Another editor still running: a process of the test's own making.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other{};
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program = self;
    program = program.substr(0, program.find_last_of(L'\\')) + L"\\child_program.exe";
    std::wstring line = L"\"" + program + L"\" forever";
    std::wstring where = folder_.Path(L"");
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, where.c_str(),
                               &startup, &other));
    FILETIME created, exited, kernel, user;
    GetProcessTimes(other.hProcess, &created, &exited, &kernel, &user);
    const RecoverySession running{other.dwProcessId,
                                  (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime};
    const std::wstring runningCopy = AsWideString(RecoveryFileName({running, false}));
    WriteLeftCopy(runningCopy, {u"", u"t", u"still being typed"});

    const auto answer = [](int button, MessageBoxSeen* seen) {
        return [button, seen](HWND box) {
            seen->caption = WindowText(box);
            wchar_t text[1024] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            seen->text = text;
            PostMessageW(box, WM_COMMAND, button, 0);
        };
    };
    MessageBoxSeen seen;
    {
        ModalDriver driver({answer(IDNO, &seen)});
        OfferRecoveredText(mHwnd);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0) << "only the ended session's copy";
    }
    EXPECT_EQ(seen.caption, L"Odzyskiwanie tekstu");
    EXPECT_EQ(seen.text, MessageText(IDS_RECOVERY_OFFER) + L"\n\n" + MessageText(IDS_RECOVERY_FILE) + file + L"\n" +
                             MessageText(IDS_RECOVERY_TIME) + L"2026-12-08 01:02:03");
    EXPECT_EQ(WindowText(hEdit), L"");
    EXPECT_FALSE(Exists(RecoveryFolder() + L"\\" + fresh));
    EXPECT_TRUE(Exists(RecoveryFolder() + L"\\" + declined)) << "kept for one more start";

    // Offered once more; Yes.
    {
        ModalDriver driver({answer(IDYES, &seen)});
        OfferRecoveredText(mHwnd);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0);
    }
    EXPECT_EQ(WindowText(hEdit), L"int odzyskany;");
    EXPECT_TRUE(SendMessageW(hEdit, EM_GETMODIFY, 0, 0)) << "as unsaved text";
    EXPECT_EQ(std::wstring(current_file), file);
    EXPECT_EQ(WindowText(mHwnd), file);
    EXPECT_EQ(ReadFileBytes(file), (std::vector<unsigned char>{'o', 'l', 'd'})) << "the file on disk is untouched";
    EXPECT_FALSE(Exists(RecoveryFolder() + L"\\" + declined));
    EXPECT_TRUE(CopyHolds(L"int odzyskany;")) << "the text is this session's copy now";
    EXPECT_TRUE(Exists(RecoveryFolder() + L"\\" + runningCopy)) << "another editor's copy stays its own";
    // Undo cannot take the recovered text to a saved state it never had.
    SendMessageW(hEdit, EM_SETSEL, 0, 0);
    ASSERT_TRUE(TypeOnKeyboard(L"x", [] { return WindowText(hEdit) == L"xint odzyskany;"; }));
    SendMessageW(hEdit, WM_UNDO, 0, 0);
    EXPECT_TRUE(SendMessageW(hEdit, EM_GETMODIFY, 0, 0));

    // Declined twice, a copy goes.
    WriteLeftCopy(declined, {u"", u"t", u"raz jeszcze"});
    {
        ModalDriver driver({answer(IDNO, &seen)});
        OfferRecoveredText(mHwnd);
        EXPECT_TRUE(driver.finished());
    }
    EXPECT_NE(seen.text.find(MessageText(IDS_RECOVERY_NO_NAME)), std::wstring::npos) << "text that had no file";
    EXPECT_FALSE(Exists(RecoveryFolder() + L"\\" + declined));

    TerminateProcess(other.hProcess, 0);
    WaitForSingleObject(other.hProcess, 5000);
    CloseHandle(other.hThread);
    CloseHandle(other.hProcess);
    DeleteFileW((RecoveryFolder() + L"\\" + runningCopy).c_str());
}

// At start the editor opens the source file the directive compiles when the start folder holds
// it, with its name in the title; otherwise it starts empty.
TEST_F(RecoveryTest, TheWorkspacesFileIsOpenedAtStart)
{
    wchar_t savedStart[kCurrentPathCapacity];
    lstrcpynW(savedStart, currentPathA, kCurrentPathCapacity);
    std::wstring folder = folder_.Path(L"");
    folder.pop_back();
    lstrcpynW(currentPathA, folder.c_str(), kCurrentPathCapacity);

    OpenStartText();
    EXPECT_EQ(WindowText(hEdit), L"");
    EXPECT_EQ(WindowText(mHwnd), L"");

    WriteFileBytes(folder_.Path(L"main.c"), {'i', 'n', 't', '\n'});
    OpenStartText();
    EXPECT_EQ(WindowText(hEdit), L"int\r\n");
    EXPECT_EQ(WindowText(mHwnd), folder_.Path(L"main.c"));
    EXPECT_EQ(std::wstring(current_file), folder_.Path(L"main.c"));
    EXPECT_FALSE(SendMessageW(hEdit, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessageW(hEdit, EM_CANUNDO, 0, 0)) << "a new history";

    lstrcpynW(currentPathA, savedStart, kCurrentPathCapacity);
}

}  // namespace
