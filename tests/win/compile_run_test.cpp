// Compile and Run with real child processes: a stand-in compiler, chatty and silent
// programs, and programs that never end, all started through the real command interpreter.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "commandbar/command_text.h"
#include "commandbar/compile_run.h"
#include "output/output_pane.h"
#include "output/output_stream.h"
#include "output/run_command.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "text/wide.h"
#include "win32/holders.h"
#include "win32/messages.h"
#include "win32/process_state.h"

namespace {

std::wstring HelperFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring HelperProgram()
{
    return HelperFolder() + L"\\child_program.exe";
}

std::vector<std::wstring> ReadRecord(const std::wstring& path)
{
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    const std::string utf8(bytes.begin(), bytes.end());
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), static_cast<int>(text.size()))));
    std::vector<std::wstring> lines;
    for (std::size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A finished command's pane: what it showed, and its end line's code and seconds.
struct FinishedPane {
    std::wstring before;  // empty code: no well-formed end line was last
    std::wstring code;
    std::wstring seconds;
};

FinishedPane SplitFinishedPane(const std::wstring& text)
{
    const std::wstring lead = L"[Zakończono z kodem ";
    const std::size_t at = text.rfind(lead);
    const std::size_t by = at == std::wstring::npos ? at : text.find(L" po ", at);
    if (by == std::wstring::npos || !EndsWith(text, L" s.]"))
        return {text, L"", L""};
    return {text.substr(0, at), text.substr(at + lead.size(), by - at - lead.size()),
            text.substr(by + 4, text.size() - 4 - by - 4)};
}

// The text a finished command showed before its end line, which must be last.
std::wstring ShownBeforeTheEnd(const std::wstring& text)
{
    const FinishedPane pane = SplitFinishedPane(text);
    EXPECT_FALSE(pane.code.empty()) << "no end line: " << testing::PrintToString(text.substr(text.size() > 200 ? text.size() - 200 : 0));
    return pane.before;
}

bool ProcessHasEnded(DWORD id)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return true;
    const bool ended = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

void SendKey(WORD virtualKey, wchar_t character)
{
    SendKeyEvents({KeyEvent(virtualKey, character, false), KeyEvent(virtualKey, character, true)});
}

// From another thread, as a user at the keyboard would while the window's thread waits:
// once the started program's first line shows in the pane, types two letters, then Escape.
class KeyboardUser {
public:
    KeyboardUser() { thread_ = CreateThread(nullptr, 0, Act, this, 0, nullptr); }
    ~KeyboardUser()
    {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    ULONGLONG escapeAt() const { return escapeAt_; }

private:
    static DWORD WINAPI Act(void* self)
    {
        auto* user = static_cast<KeyboardUser*>(self);
        // The pane shows output while the program still runs, not only once it has ended.
        const ULONGLONG deadline = GetTickCount64() + 20000;
        while (WindowText(hOutput).find(L"pid ") == std::wstring::npos && GetTickCount64() < deadline)
            Sleep(20);
        SendKey(0, L'x');
        SendKey(0, L'y');
        user->escapeAt_ = GetTickCount64();
        SendKey(VK_ESCAPE, 0);
        return 0;
    }

    HANDLE thread_ = nullptr;
    ULONGLONG escapeAt_ = 0;
};

class CompileRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedSettings_ = ustawienia;
        lstrcpynW(savedStart_, currentPathA, kCurrentPathCapacity);
        GetCurrentDirectoryW(MAX_PATH, savedCurrent_);
        SetWindowTextW(hEdit, L"");
        SetOutputText(L"");
        current_file[0] = L'\0';
    }
    void TearDown() override
    {
        // The whole record: a shorter directive copied back would leave the longer one's tail.
        ustawienia = savedSettings_;
        lstrcpynW(currentPathA, savedStart_, kCurrentPathCapacity);
        SetCurrentDirectoryW(savedCurrent_);
        SetWindowTextW(hEdit, L"");
        SetOutputText(L"");
        current_file[0] = L'\0';
    }

    static void SetDirective(const wchar_t* directive)
    {
        lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), directive, kDirectiveUnits);
    }
    // Commands run where the editor was started; here that is the test's own folder.
    void StartIn(const std::wstring& folder) { lstrcpynW(currentPathA, folder.c_str(), kCurrentPathCapacity); }
    void CopyHelperAs(const std::wstring& path) { ASSERT_TRUE(CopyFileW(HelperProgram().c_str(), path.c_str(), FALSE)); }

    TempFolder folder_;

private:
    Settings savedSettings_{};
    wchar_t savedStart_[kCurrentPathCapacity] = {};
    wchar_t savedCurrent_[MAX_PATH] = {};
};

TEST_F(CompileRunTest, CompileDeletesTheOldProgramAndRunStartsTheNewOneInTheStartDirectory)
{
    CopyHelperAs(folder_.Path(L"gcc.exe"));
    WriteFileBytes(folder_.Path(L"out_file.exe"), {'o', 'l', 'd'});
    WriteFileBytes(folder_.Path(L"main.c"), {'x'});
    SetDirective(L"gcc -o out_file main.c");
    StartIn(folder_.Path(L"").substr(0, folder_.Path(L"").size() - 1));

    // A file dialog elsewhere moves the current directory away from the start directory.
    TempFolder elsewhere;
    WriteFileBytes(elsewhere.Path(L"other.c"), {'y'});
    {
        ModalDriver driver({ChooseFile(elsewhere.Path(L"other.c"))});
        PressCommandBarButton(IDC_OPEN);
        ASSERT_TRUE(driver.finished());
    }
    SetCurrentDirectoryW(elsewhere.Path(L"").c_str());

    PressCommandBarButton(IDC_COMPILE);
    const std::vector<std::wstring> compiler = ReadRecord(folder_.Path(L"compiler_record.txt"));
    ASSERT_EQ(compiler.size(), 3u);
    EXPECT_TRUE(EndsWith(compiler[0], L"gcc -o out_file main.c")) << compiler[0];
    EXPECT_EQ(compiler[1], currentPathA);
    EXPECT_EQ(compiler[2], L"absent") << "the old program must be deleted before the directive runs";
    // The editor holds another file than the one that is built, and the pane says so.
    EXPECT_EQ(ShownBeforeTheEnd(WindowText(hOutput)),
              L"Kompilowanie\r\nUwaga: w edytorze jest plik " + elsewhere.Path(L"other.c") +
                  L", a dyrektywa kompiluje main.c.\r\nmain.c:3:5: error: expected ';' before 'return'\r\n");

    PressCommandBarButton(IDC_RUN);
    const std::vector<std::wstring> program = ReadRecord(folder_.Path(L"program_record.txt"));
    ASSERT_EQ(program.size(), 2u);
    EXPECT_TRUE(EndsWith(program[0], L"out_file.exe")) << program[0];
    EXPECT_EQ(program[1], currentPathA);
    EXPECT_EQ(ShownBeforeTheEnd(WindowText(hOutput)), L"Witaj ze zbudowanego programu\r\n");

    // The file it builds, reached by another spelling of its path, says nothing more.
    const std::wstring sameFile = folder_.Path(L"") + L".\\MAIN.C";
    lstrcpynW(current_file, sameFile.c_str(), kCurrentFileCapacity);
    PressCommandBarButton(IDC_COMPILE);
    EXPECT_EQ(ShownBeforeTheEnd(WindowText(hOutput)), L"Kompilowanie\r\nmain.c:3:5: error: expected ';' before 'return'\r\n");
}

TEST_F(CompileRunTest, ThePaneShowsAllOfTheOutputInOrder)
{
    std::wstring chatty;
    for (int line = 0; line < 10000; ++line) {
        wchar_t text[16];
        wsprintfW(text, L"%c%05d\r\n", line % 2 ? L'e' : L'o', line);
        chatty += text;
    }
    // Without a line break, the edit control would take minutes to wrap it.
    std::wstring longLine;
    for (std::size_t printed = 0; printed < 300000; printed += kLongestShownLine)
        longLine += (printed ? L"\r\n" : L"") + std::wstring(std::min<std::size_t>(kLongestShownLine, 300000 - printed), L'*');
    struct Case {
        const wchar_t* command;
        const wchar_t* earlier;
        std::wstring shown;
    };
    const Case cases[] = {
        {L"child_program.exe chatty", L"Kompilowanie", chatty},
        {L"child_program.exe silent", L"Kompilowanie", L""},
        {L"child_program.exe zero", L"", L"przedpo\r\n"},
        {L"child_program.exe longline", L"", longLine + L"\r\n"},
    };
    SetCurrentDirectoryW(HelperFolder().c_str());
    for (const Case& c : cases) {
        SetOutputText(c.earlier);
        EXPECT_EQ(RunCommandAndRedirect(c.command), CommandOutcome::Finished) << c.command;
        EXPECT_EQ(ShownBeforeTheEnd(WindowText(hOutput)), c.shown) << c.command;
    }
}

// Run once in the default code page and again under Polish and Japanese ones (see the
// test list), where a character may take two bytes that arrive in separate reads.
TEST_F(CompileRunTest, OemTextArrivingByteByByteStaysWhole)
{
    struct Case {
        UINT codePage;
        const wchar_t* text;
    };
    const Case cases[] = {
        {437, L"Caf\u00e9 \u00fcber \u00bd"},
        {852, L"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144"},
        {932, L"\u65e5\u672c\u8a9e a \u30c6\u30b9\u30c8"},
    };
    SetCurrentDirectoryW(HelperFolder().c_str());
    for (const Case& c : cases) {
        if (c.codePage != GetOEMCP())
            continue;
        SetOutputText(L"");
        RunCommandAndRedirect((std::wstring(L"child_program.exe bytes \"") + c.text + L"\"").c_str());
        EXPECT_EQ(ShownBeforeTheEnd(WindowText(hOutput)), c.text + std::wstring(L"\r\n")) << "code page " << c.codePage;
        return;
    }
    GTEST_SKIP() << "no text for the OEM code page " << GetOEMCP();
}

TEST_F(CompileRunTest, EscapeStopsTheCommandAndEverythingItStarted)
{
    struct Case {
        const wchar_t* program;
        const wchar_t* directive;
        int button;
    };
    const Case cases[] = {
        {L"forever.exe", L"gcc -o forever main.c", IDC_RUN},
        {L"grandchild.exe", L"grandchild -o nothing", IDC_COMPILE},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        CopyHelperAs(folder.Path(c.program));
        StartIn(folder.Path(L"").substr(0, folder.Path(L"").size() - 1));
        SetDirective(c.directive);
        SetWindowTextW(hEdit, L"int main(void)");
        SetFocus(hEdit);

        ULONGLONG escapeAt = 0;
        {
            Deadline deadline("Escape during " + std::string(c.program, c.program + wcslen(c.program)));
            KeyboardUser user;
            PressCommandBarButton(c.button);
            const ULONGLONG returnedAt = GetTickCount64();
            Sleep(0);
            escapeAt = user.escapeAt();
            ASSERT_NE(escapeAt, 0u) << c.program << ": returned before Escape was pressed";
            std::printf("%ls: %llu ms from Escape to the pane's last line\n", c.program, returnedAt - escapeAt);
        }
        const std::wstring shown = WindowText(hOutput);
        EXPECT_NE(shown.find(L"pid "), std::wstring::npos) << shown;
        EXPECT_TRUE(EndsWith(shown, L"[Program zatrzymany klawiszem Esc.]\r\n")) << shown;
        PumpPendingMessages();
        EXPECT_EQ(WindowText(hEdit), L"int main(void)") << "keys typed while waiting must not reach the editor";

        const std::vector<std::wstring> pid = ReadRecord(folder.Path(L"forever.pid"));
        ASSERT_EQ(pid.size(), 1u);
        EXPECT_TRUE(ProcessHasEnded(static_cast<DWORD>(std::stoul(pid[0])))) << c.program;
    }
}

// Presses Escape from inside the window's own repaint, once the program's first line shows:
// the Escape is then in the queue before the repaint's next peek marks the queue as seen.
struct EscapeDuringRepaint {
    static LRESULT CALLBACK Hook(int code, WPARAM removed, LPARAM lParam)
    {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_PAINT && !pressed &&
            WindowText(hOutput).find(L"pid ") != std::wstring::npos) {
            pressed = true;
            SendKey(VK_ESCAPE, 0);
        }
        return CallNextHookEx(nullptr, code, removed, lParam);
    }
    static inline bool pressed = false;
};

TEST_F(CompileRunTest, AnEscapePressedWhileThePaneRepaintsStillStops)
{
    TempFolder folder;
    CopyHelperAs(folder.Path(L"forever.exe"));
    SetCurrentDirectoryW(folder.Path(L"").c_str());
    EscapeDuringRepaint::pressed = false;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, EscapeDuringRepaint::Hook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    {
        Deadline deadline("an Escape pressed during a repaint");
        EXPECT_EQ(RunCommandAndRedirect(L"forever.exe"), CommandOutcome::Stopped);
    }
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(EscapeDuringRepaint::pressed);
    const std::vector<std::wstring> pid = ReadRecord(folder.Path(L"forever.pid"));
    ASSERT_EQ(pid.size(), 1u);
    EXPECT_TRUE(ProcessHasEnded(static_cast<DWORD>(std::stoul(pid[0]))));
}

TEST_F(CompileRunTest, AFloodOfOutputShowsItsFirstPartAndSaysHowMuchWasLeftOut)
{
    SetCurrentDirectoryW(HelperFolder().c_str());
    EXPECT_EQ(RunCommandAndRedirect(L"child_program.exe flood 32"), CommandOutcome::Finished);

    const std::wstring text = ShownBeforeTheEnd(WindowText(hOutput));
    const std::wstring leftOut = AsWideString(LeftOutLine(32u * 1024 * 1024 - kShownOutputLimit));
    ASSERT_TRUE(EndsWith(text, leftOut)) << text.substr(text.size() > 200 ? text.size() - 200 : 0);
    EXPECT_EQ(text.size(), kShownOutputLimit + leftOut.size());
    EXPECT_EQ(text.compare(0, 24, L"wiersz wyjscia programu "), 0);
}

TEST_F(CompileRunTest, AChildThatCannotStartIsReportedWithItsCode)
{
    // The interpreter is looked up in the program's own folder first; a file there that is
    // no program makes the start fail for real.
    const std::wstring fakeInterpreter = HelperFolder() + L"\\cmd.exe";
    WriteFileBytes(fakeInterpreter, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'e', 'x', 'e'});
    MessageBoxSeen seen;
    const ModalDriver::Action record = RecordMessageBox(&seen);
    {
        // The box's own message loop passes a click on Run to the bar while the first command
        // is still running: nothing else may start, so no second box may come.
        ModalDriver driver({[&record](HWND box) {
            PressCommandBarButton(IDC_RUN);
            record(box);
        }});
        SetOutputText(L"before");
        EXPECT_EQ(RunCommandAndRedirect(L"child_program.exe chatty"), CommandOutcome::NotStarted);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(driver.unexpected(), 0);
    }
    DeleteFileW(fakeInterpreter.c_str());
    EXPECT_EQ(seen.caption, L"Błąd");
    EXPECT_EQ(seen.owner, GetAncestor(hOutput, GA_ROOT)) << "a box is owned by the pane's top-level window";
    const std::wstring withoutCode = TextWithCode(IDS_PROCESS_NOT_STARTED, 0);
    EXPECT_EQ(seen.text.rfind(withoutCode.substr(0, withoutCode.size() - 1), 0), 0u) << seen.text;
    EXPECT_GT(seen.text.size(), withoutCode.size() - 1);
    EXPECT_EQ(WindowText(hOutput), L"before");
}

TEST_F(CompileRunTest, APipeWhoseHandleCannotBeSetIsReportedAsSuch)
{
    const RunFaults cases[] = {{.outputPipeNotSet = true}, {.inputPipeNotSet = true}};
    for (const RunFaults& faults : cases) {
        MessageBoxSeen seen;
        {
            ModalDriver driver({RecordMessageBox(&seen)});
            EXPECT_EQ(RunCommandAndRedirect(L"child_program.exe chatty", faults), CommandOutcome::NotStarted);
            EXPECT_TRUE(driver.finished());
        }
        EXPECT_EQ(seen.text, MessageText(IDS_PIPE_NOT_SET)) << (faults.outputPipeNotSet ? "output" : "input");
    }
}

// Without a job object (refused on some older systems) Escape still ends what the command
// started; and running out of memory while output arrives ends the program before the wait
// for its output, which would otherwise last as long as the program.
TEST_F(CompileRunTest, AStopWorksWithoutAJobAndWhenMemoryRunsOut)
{
    struct Case {
        const char* what;
        RunFaults faults;
        CommandOutcome outcome;
        const char* box;  // nullptr: none
    };
    const Case cases[] = {
        {"no job", {.noJob = true}, CommandOutcome::Stopped, nullptr},
        {"no memory", {.failWhileShowing = true}, CommandOutcome::NotStarted, "out of memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        CopyHelperAs(folder.Path(L"forever.exe"));
        SetCurrentDirectoryW(folder.Path(L"").c_str());
        MessageBoxSeen box;
        {
            Deadline deadline(std::string("a stop with ") + c.what);
            ModalDriver driver(c.box ? std::vector<ModalDriver::Action>{RecordMessageBox(&box)}
                                     : std::vector<ModalDriver::Action>{});
            std::optional<KeyboardUser> user;
            if (!c.box)
                user.emplace();
            EXPECT_EQ(RunCommandAndRedirect(L"forever.exe", c.faults), c.outcome);
            EXPECT_TRUE(driver.finished());
        }
        if (c.box) {
            EXPECT_EQ(box.text, MessageText(IDS_OUT_OF_MEMORY));
        }
        const std::vector<std::wstring> pid = ReadRecord(folder.Path(L"forever.pid"));
        ASSERT_EQ(pid.size(), 1u);
        EXPECT_TRUE(ProcessHasEnded(static_cast<DWORD>(std::stoul(pid[0]))));
    }
}

bool ProcessIsRunning(DWORD id)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// The process id a helper wrote to its record, once it is there; 0 if it never came.
DWORD PidRecordedIn(const std::wstring& record)
{
    for (const ULONGLONG deadline = GetTickCount64() + 10000; GetTickCount64() < deadline; Sleep(20)) {
        const std::vector<std::wstring> pid = ReadRecord(record);
        if (pid.size() == 1)
            return static_cast<DWORD>(std::stoul(pid[0]));
    }
    return 0;
}

// Without a job, a process older than the command whose ended parent's id the command's
// grandchild was given looks like the grandchild's child; Escape must leave it running.
TEST_F(CompileRunTest, WithoutAJobEscapeSparesAnOlderProcessWhoseParentsIdCameBack)
{
    // A long-lived process whose parent has ended.
    TempFolder older;
    CopyHelperAs(older.Path(L"grandchild.exe"));
    std::wstring parentLine = L"\"" + older.Path(L"grandchild.exe") + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION parent{};
    ASSERT_TRUE(CreateProcessW(nullptr, parentLine.data(), nullptr, nullptr, FALSE, 0, nullptr, older.Path(L"").c_str(),
                               &startup, &parent));
    WaitForSingleObject(parent.hProcess, 10000);
    CloseHandle(parent.hThread);
    CloseHandle(parent.hProcess);
    const DWORD orphan = PidRecordedIn(older.Path(L"forever.pid"));
    ASSERT_NE(orphan, 0u);

    SetCurrentDirectoryW(folder_.Path(L"").c_str());
    {
        Deadline deadline("Escape without a job after an id came back", 90);
        KeyboardUser user;
        const std::wstring command = L"\"" + HelperProgram() + L"\" reuse " + std::to_wstring(parent.dwProcessId);
        EXPECT_EQ(RunCommandAndRedirect(command.c_str(), {.noJob = true}), CommandOutcome::Stopped);
    }
    const DWORD grandchild = PidRecordedIn(folder_.Path(L"forever.pid"));
    const bool orphanSurvived = ProcessIsRunning(orphan);
    if (orphanSurvived) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, orphan);
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
    ASSERT_EQ(grandchild, parent.dwProcessId) << "the grandchild did not get the ended parent's id: " << WindowText(hOutput);
    EXPECT_TRUE(ProcessHasEnded(grandchild));
    EXPECT_TRUE(orphanSurvived);
}

// A process that nothing of the command's stop reaches holds the output open: the window
// waits for it only a while after Escape, or after running out of memory, and says so.
TEST_F(CompileRunTest, OutputHeldOpenByAProcessNothingEndedIsGivenUpAfterAStop)
{
    struct Case {
        const char* what;
        RunFaults faults;
        CommandOutcome outcome;
        std::wstring end;
    };
    const std::wstring leftRunning = AsWideString(LeftRunningLine());
    const Case cases[] = {
        {"Escape with a job", {}, CommandOutcome::Stopped, AsWideString(StoppedLine()) + leftRunning},
        {"Escape without a job", {.noJob = true}, CommandOutcome::Stopped, AsWideString(StoppedLine()) + leftRunning},
        {"no memory without a job", {.noJob = true, .failWhileShowing = true}, CommandOutcome::NotStarted,
         L"\r\n" + leftRunning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder holderFolder;
        std::wstring holderLine = L"\"" + HelperProgram() + L"\" forever";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        PROCESS_INFORMATION holder{};
        ASSERT_TRUE(CreateProcessW(nullptr, holderLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   holderFolder.Path(L"").c_str(), &startup, &holder));
        CloseHandle(holder.hThread);
        ASSERT_NE(PidRecordedIn(holderFolder.Path(L"forever.pid")), 0u);

        SetOutputText(L"");
        SetCurrentDirectoryW(folder_.Path(L"").c_str());
        MessageBoxSeen box;
        ULONGLONG took = 0;
        {
            Deadline deadline(std::string("a stop while another process holds the output, ") + c.what);
            ModalDriver driver(c.faults.failWhileShowing ? std::vector<ModalDriver::Action>{RecordMessageBox(&box)}
                                                         : std::vector<ModalDriver::Action>{});
            std::optional<KeyboardUser> user;
            if (!c.faults.failWhileShowing)
                user.emplace();
            const ULONGLONG startedAt = GetTickCount64();
            const std::wstring command = L"\"" + HelperProgram() + L"\" lend " + std::to_wstring(holder.dwProcessId);
            EXPECT_EQ(RunCommandAndRedirect(command.c_str(), c.faults), c.outcome);
            took = GetTickCount64() - startedAt;
            EXPECT_TRUE(driver.finished());
        }
        std::printf("%s: %llu ms from the start to the pane's last line\n", c.what, took);
        const std::wstring shown = WindowText(hOutput);
        EXPECT_TRUE(EndsWith(shown, c.end)) << testing::PrintToString(shown);
        if (c.faults.failWhileShowing) {
            EXPECT_EQ(box.text, MessageText(IDS_OUT_OF_MEMORY));
        }
        EXPECT_EQ(WaitForSingleObject(holder.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "not the command's to end";
        TerminateProcess(holder.hProcess, 1);
        WaitForSingleObject(holder.hProcess, 5000);
        CloseHandle(holder.hProcess);
    }
}

// Compile and Run delete and start the file gcc writes for the directive, quoted where it
// holds a space; a name the interpreter would act on is neither deleted nor run.
TEST_F(CompileRunTest, TheProgramIsTheOneGccWrites)
{
    struct Case {
        const wchar_t* directive;
        const wchar_t* program;  // the file Run must start; nullptr: none may start
    };
    const Case cases[] = {
        {L"gcc -o \"moj program\" main.c", L"moj program.exe"},
        {L"gcc -o prog.exe main.c", L"prog.exe"},
        {L"gcc main.c", L"a.exe"},
        {L"gcc -o * main.c", nullptr},
        {L"gcc -o x&del main.c", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.directive, c.directive + wcslen(c.directive)));
        TempFolder folder;
        StartIn(folder.Path(L"").substr(0, folder.Path(L"").size() - 1));
        SetDirective(c.directive);
        if (c.program)
            CopyHelperAs(folder.Path(c.program));
        WriteFileBytes(folder.Path(L"keep.exe"), {'k'});
        WriteFileBytes(folder.Path(L"x.exe"), {'k'});

        SetOutputText(L"before");
        PressCommandBarButton(IDC_RUN);
        const bool ran = GetFileAttributesW(folder.Path(L"program_record.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
        EXPECT_EQ(ran, c.program != nullptr);
        if (c.program) {
            EXPECT_EQ(ShownBeforeTheEnd(WindowText(hOutput)), L"Witaj ze zbudowanego programu\r\n");
            continue;
        }
        EXPECT_EQ(WindowText(hOutput), AsWideString(ProgramNameProblemLine(ProgramNameOf(AsUtf16(c.directive)))));
        PressCommandBarButton(IDC_COMPILE);
        EXPECT_NE(GetFileAttributesW(folder.Path(L"keep.exe").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing else is deleted";
        EXPECT_NE(GetFileAttributesW(folder.Path(L"x.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(CompileRunTest, NothingRunsWhenTheStartFolderHasGone)
{
    TempFolder folder;
    const std::wstring gone = folder.Path(L"usuniety");
    ASSERT_TRUE(CreateDirectoryW(gone.c_str(), nullptr));
    StartIn(gone);
    ASSERT_TRUE(RemoveDirectoryW(gone.c_str()));
    SetCurrentDirectoryW(folder.Path(L"").c_str());
    CopyHelperAs(folder.Path(L"gcc.exe"));
    CopyHelperAs(folder.Path(L"out_file.exe"));
    SetDirective(L"gcc -o out_file main.c");
    for (const int button : {IDC_COMPILE, IDC_RUN}) {
        MessageBoxSeen box;
        {
            ModalDriver driver({RecordMessageBox(&box)});
            PressCommandBarButton(button);
            EXPECT_TRUE(driver.finished()) << button;
        }
        EXPECT_EQ(box.caption, L"Błąd");
        EXPECT_EQ(box.text, MessageText(IDS_START_FOLDER_GONE) + L"\n\n" + gone);
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::wstring>{L"gcc.exe", L"out_file.exe"})) << "nothing ran elsewhere";
}

// A key pressed and let go, with the Control key held down around it where asked.
struct Keystroke {
    WORD key;  // 0: `character` through the Unicode path
    wchar_t character;
    bool control;
};

void Press(const Keystroke& stroke)
{
    if (stroke.control) {
        SendKeyEvents(KeyChord({VK_CONTROL, stroke.key}));
    } else {
        SendKey(stroke.key, stroke.character);
    }
    Sleep(20);
}

std::vector<Keystroke> Typed(const wchar_t* text)
{
    std::vector<Keystroke> strokes;
    for (; *text; ++text)
        strokes.push_back(*text == L'\n' ? Keystroke{VK_RETURN, 0, false} : Keystroke{0, *text, false});
    return strokes;
}

// From another thread while the window's thread runs the command: once `prompt` shows in the
// pane (or after a moment when it is empty), presses the keys.
class Typist {
public:
    Typist(std::wstring prompt, std::vector<Keystroke> strokes) : prompt_(std::move(prompt)), strokes_(std::move(strokes))
    {
        thread_ = CreateThread(nullptr, 0, Act, this, 0, nullptr);
    }
    ~Typist()
    {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }

private:
    static DWORD WINAPI Act(void* self)
    {
        auto* typist = static_cast<Typist*>(self);
        const ULONGLONG deadline = GetTickCount64() + 20000;
        if (typist->prompt_.empty())
            Sleep(300);
        while (WindowText(hOutput).find(typist->prompt_) == std::wstring::npos && GetTickCount64() < deadline)
            Sleep(20);
        for (const Keystroke& stroke : typist->strokes_)
            Press(stroke);
        return 0;
    }

    std::wstring prompt_;
    std::vector<Keystroke> strokes_;
    HANDLE thread_ = nullptr;
};

void PutOnClipboard(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(data), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
}

// Typed keys go to the running program's input line and nowhere else: Backspace edits the
// line, Enter sends it, Ctrl+V sends pasted lines in order, Ctrl+Z ends the input.
TEST_F(CompileRunTest, WhatIsTypedDuringARunIsTheProgramsInput)
{
    std::vector<Keystroke> sum = Typed(L"12\n3x");
    sum.push_back({VK_BACK, 0, false});
    for (const Keystroke& stroke : Typed(L"0\n"))
        sum.push_back(stroke);
    std::vector<Keystroke> toEnd = Typed(L"ab\nc");
    toEnd.push_back({'Z', 0, true});
    const std::vector<Keystroke> paste = {{'V', 0, true}, {VK_RETURN, 0, false}, {'Z', 0, true}};
    struct Case {
        const wchar_t* command;
        const wchar_t* prompt;
        std::vector<Keystroke> strokes;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"child_program.exe sum", L"Podaj", sum, L"Podaj dwie liczby: 12\r\n30\r\nSuma: 42\r\n"},
        {L"child_program.exe input", L"", toEnd, L"ab\r\nc^Z\r\nodebrano[ab\r\nc]\r\n"},
        {L"child_program.exe input", L"", paste, L"jeden\r\ndwa\r\ntrzy\r\n^Z\r\nodebrano[jeden\r\ndwa\r\ntrzy\r\n]\r\n"},
    };
    PutOnClipboard(L"jeden\r\ndwa\ntrzy");
    SetCurrentDirectoryW(HelperFolder().c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.command)));
        SetWindowTextW(hEdit, L"int main(void)");
        SetFocus(hEdit);
        {
            Deadline deadline("typing to a program");
            Typist typist(c.prompt, c.strokes);
            EXPECT_EQ(RunCommandAndRedirect(c.command), CommandOutcome::Finished);
        }
        const FinishedPane pane = SplitFinishedPane(WindowText(hOutput));
        EXPECT_EQ(pane.before, c.shown);
        EXPECT_EQ(pane.code, L"0");
        PumpPendingMessages();
        EXPECT_EQ(WindowText(hEdit), L"int main(void)") << "keys typed for the program must not reach the editor";
        EXPECT_EQ(GetFocus(), hEdit);
    }
}

// The exit code as the command's own, exception codes in hexadecimal; seconds as "0,07".
TEST_F(CompileRunTest, TheEndLineShowsTheExitCodeAndTheTime)
{
    struct Case {
        const wchar_t* command;
        const wchar_t* code;
    };
    const Case cases[] = {
        {L"child_program.exe exit 0", L"0"},
        {L"child_program.exe exit 3", L"3"},
        {L"child_program.exe exit -1", L"-1"},
        {L"child_program.exe exit 3221225477", L"0xC0000005"},
    };
    SetCurrentDirectoryW(HelperFolder().c_str());
    for (const Case& c : cases) {
        SetOutputText(L"earlier");
        EXPECT_EQ(RunCommandAndRedirect(c.command), CommandOutcome::Finished);
        const FinishedPane pane = SplitFinishedPane(WindowText(hOutput));
        EXPECT_EQ(pane.before, L"") << "a run that prints nothing shows only its end line";
        EXPECT_EQ(pane.code, c.code);
        const std::size_t comma = pane.seconds.find(L',');
        EXPECT_TRUE(comma != std::wstring::npos && comma > 0 && pane.seconds.size() == comma + 3) << pane.seconds;
        EXPECT_LT(std::stod(pane.seconds.substr(0, comma)), 20.0) << pane.seconds;
    }
}

// UTF-8 and OEM lines of one output each show as they were meant.
TEST_F(CompileRunTest, Utf8AndOemLinesOfOneOutputBothShowRight)
{
    const std::wstring oemText = L"\u00fcber Caf\u00e9";
    // Letters the OEM code page lacks come back as what it makes of them.
    std::string bytes(64, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_OEMCP, 0, oemText.c_str(), static_cast<int>(oemText.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    std::wstring oemShown(64, L'\0');
    oemShown.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                                 oemShown.data(), static_cast<int>(oemShown.size()))));
    SetCurrentDirectoryW(HelperFolder().c_str());
    RunCommandAndRedirect((L"child_program.exe mixed \"" + oemText + L"\"").c_str());
    EXPECT_EQ(ShownBeforeTheEnd(WindowText(hOutput)), L"Średnia: zażółć\r\n" + oemShown + L"\r\n");
}

// Compile keeps "Kompilowanie" and its own lines above the compiler's output: a new program
// says nothing, unsaved changes and an old program that cannot be deleted each one line.
TEST_F(CompileRunTest, CompileKeepsItsOwnLinesAboveTheOutput)
{
    const std::wstring gccLine = L"main.c:3:5: error: expected ';' before 'return'\r\n";
    enum class Old { None, Held };
    struct Case {
        Old old;
        bool modified;
        const wchar_t* second;  // the line after "Kompilowanie"; nullptr: the compiler's output
    };
    const Case cases[] = {
        {Old::None, false, nullptr},
        {Old::None, true, L"Uwaga: edytor ma niezapisane zmiany; kompilowany jest plik z dysku."},
        {Old::Held, false, nullptr},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        CopyHelperAs(folder.Path(L"gcc.exe"));
        StartIn(folder.Path(L"").substr(0, folder.Path(L"").size() - 1));
        SetDirective(L"gcc -o out_file main.c");
        SetWindowTextW(hEdit, L"int main(void)");
        SendMessageW(hEdit, EM_SETMODIFY, c.modified, 0);
        std::wstring second = c.second ? c.second + std::wstring(L"\r\n") : L"";
        ScopedHandle held;
        if (c.old == Old::Held) {
            // Held open without delete sharing, as a program still running would be.
            WriteFileBytes(folder.Path(L"out_file.exe"), {'o', 'l', 'd'});
            held.reset(CreateFileW(folder.Path(L"out_file.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held.valid());
            ASSERT_FALSE(DeleteFileW(folder.Path(L"out_file.exe").c_str()));
            second = AsWideString(NotDeletedLine(u"out_file.exe", GetLastError()));
        }
        PressCommandBarButton(IDC_COMPILE);
        const FinishedPane pane = SplitFinishedPane(WindowText(hOutput));
        EXPECT_EQ(pane.before, L"Kompilowanie\r\n" + second + gccLine);
        EXPECT_EQ(pane.code, L"1");
    }
    SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
}

TEST_F(CompileRunTest, DoubleClickOnACompilerMessageShowsItsSourceLine)
{
    // The fourth line is indented with a tab, which the compiler counts as eight columns.
    const wchar_t source[] = L"#include <stdio.h>\r\nint main(void)\r\n{\r\n\tputs(\"x\")\r\n}";
    SetOutputText(L"main.c: In function 'main':\r\n"
                  L"main.c:4:9: error: expected ';' before '}' token\r\n"
                  L"C:\\kurs\\MAIN.C:2:100: warning: old-style definition\r\n"
                  L"    4 |     puts(\"x\")\r\n"
                  L"C:\\mingw\\include\\stdio.h:12:1: note: declared here\r\n"
                  L"other.c:1:1: error: x\r\n");
    struct Case {
        const wchar_t* editorFile;  // empty: the directive names the source
        int paneLine;
        DWORD caret;  // where the editor's caret goes; a message line only
        bool moves;
    };
    const Case cases[] = {
        {L"C:\\kurs\\main.c", 1, 20 + 16 + 3 + 1, true},  // line 4, column 9: after the tab
        {L"C:\\kurs\\main.c", 2, 20 + 14, true},          // line 2, its end
        {L"C:\\kurs\\main.c", 0, 0, false},
        {L"C:\\kurs\\main.c", 3, 0, false},
        {L"C:\\kurs\\main.c", 4, 0, false},  // a header's message
        {L"C:\\kurs\\main.c", 5, 0, false},  // another file's
        {L"", 1, 20 + 16 + 3 + 1, true},
        {L"", 5, 0, false},
    };
    SetDirective(L"gcc -o out_file main.c");
    for (const Case& c : cases) {
        lstrcpynW(current_file, c.editorFile, kCurrentFileCapacity);
        SetWindowTextW(hEdit, source);
        SendMessageW(hEdit, EM_SETSEL, 5, 5);
        SetFocus(hOutput);
        const int lineStart = static_cast<int>(SendMessageW(hOutput, EM_LINEINDEX, c.paneLine, 0));
        DoubleClickOnCharacter(hOutput, lineStart + 3);

        const Selection caret = SelectionOf(hEdit);
        EXPECT_EQ(caret.start, c.moves ? c.caret : 5u) << "pane line " << c.paneLine;
        EXPECT_EQ(caret.end, caret.start) << "pane line " << c.paneLine;
        EXPECT_EQ(GetFocus(), c.moves ? hEdit : hOutput) << "pane line " << c.paneLine;
    }
    current_file[0] = L'\0';
}

}  // namespace
