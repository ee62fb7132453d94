// Run in a real pseudoconsole through the real launcher: the programs of a C course, written
// with the C runtime's buffered streams, behave in the pane as in a console window.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "output/console_run.h"
#include "output/console_text.h"
#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "text/wide.h"
#include "win32/process_state.h"

namespace {

std::wstring HelperFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool Contains(const std::wstring& text, const std::wstring& part)
{
    return text.find(part) != std::wstring::npos;
}

bool WaitForPane(const std::function<bool(const std::wstring&)>& shown, DWORD milliseconds = 30000)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!shown(WindowText(hOutput))) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(20);
    }
    return true;
}

void PressKey(WORD virtualKey, wchar_t character = 0)
{
    SendKeyEvents({KeyEvent(virtualKey, character, false), KeyEvent(virtualKey, character, true)});
}

void Type(const std::wstring& text)
{
    for (wchar_t c : text) {
        PressKey(0, c);
        Sleep(30);
    }
}

void PressCtrl(WORD key)
{
    SendKeyEvents(KeyChord({VK_CONTROL, key}));
}

// A user at the keyboard on another thread, while the window's thread runs the program: each
// step waits for what it expects in the pane, notes what the pane showed, then acts.
class ConsoleUser {
public:
    struct Step {
        std::function<bool(const std::wstring&)> waitFor;
        std::function<void()> act;
    };
    explicit ConsoleUser(std::vector<Step> steps) : steps_(std::move(steps))
    {
        thread_ = CreateThread(nullptr, 0, Act, this, 0, nullptr);
    }
    ~ConsoleUser()
    {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    // What the pane showed as each step's wait ended; empty where the wait timed out.
    const std::vector<std::wstring>& seen() const { return seen_; }

private:
    static DWORD WINAPI Act(void* self)
    {
        auto* user = static_cast<ConsoleUser*>(self);
        for (const Step& step : user->steps_) {
            std::wstring shown;
            if (WaitForPane([&](const std::wstring& text) { return step.waitFor(text) && (shown = text, true); }))
                user->seen_.push_back(shown);
            else
                user->seen_.push_back(L"");
            if (step.act)
                step.act();
        }
        return 0;
    }

    std::vector<Step> steps_;
    std::vector<std::wstring> seen_;
    HANDLE thread_ = nullptr;
};

// The pane's text before the end line, which must close it.
std::wstring BeforeEndLine(const std::wstring& text, const std::wstring& code = L"0")
{
    const std::wstring lead = L"[Zakończono z kodem " + code + L" po ";
    const std::size_t at = text.rfind(lead);
    EXPECT_NE(at, std::wstring::npos) << "no end line with code " << testing::PrintToString(code) << " in "
                                      << testing::PrintToString(text);
    return at == std::wstring::npos ? text : text.substr(0, at);
}

class ConsoleRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryW(MAX_PATH, savedCurrent_);
        SetCurrentDirectoryW(HelperFolder().c_str());
        SetOutputText(L"");
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(savedCurrent_);
        SetOutputText(L"");
    }

private:
    wchar_t savedCurrent_[MAX_PATH] = {};
};

// The first program of every course: its question shows before it reads the answer, though it
// never flushes; the answer is echoed once, by the console.
TEST_F(ConsoleRunTest, APromptWithoutFflushShowsBeforeTheProgramReads)
{
    Deadline deadline("a scanf program in the console", 90);
    ConsoleUser user({
        {[](const std::wstring& text) { return Contains(text, L"Podaj liczbę: "); }, [] { Type(L"12\r"); }},
    });
    EXPECT_EQ(RunInConsole(L"child_program.exe ask"), CommandOutcome::Finished);
    ASSERT_EQ(user.seen().size(), 1u);
    EXPECT_EQ(user.seen()[0], L"Podaj liczbę: ") << "the question alone, before any answer";
    EXPECT_EQ(BeforeEndLine(WindowText(hOutput)), L"Podaj liczbę: 12\r\nKwadrat: 144\r\n");
}

// _getch takes one key without Enter; pause waits for a key; cls clears all printed before it,
// what scrolled off the console's screen too.
TEST_F(ConsoleRunTest, SingleKeysReachTheProgramAndClsClears)
{
    Deadline deadline("single keys and cls", 120);
    {
        ConsoleUser user({{[](const std::wstring& text) { return Contains(text, L"Klawisz: "); }, [] { Type(L"x"); }}});
        EXPECT_EQ(RunInConsole(L"child_program.exe getch"), CommandOutcome::Finished);
        EXPECT_EQ(BeforeEndLine(WindowText(hOutput)), L"Klawisz: [120]\r\n");
    }
    {
        ConsoleUser user({
            {[](const std::wstring& text) { return !text.empty(); }, [] { Sleep(1000); }},
            {[](const std::wstring&) { return true; }, [] { Type(L"k"); }},
        });
        EXPECT_EQ(RunInConsole(L"child_program.exe pause"), CommandOutcome::Finished);
        ASSERT_EQ(user.seen().size(), 2u);
        EXPECT_FALSE(Contains(user.seen()[1], L"dalej")) << "pause went on before a key was pressed";
        EXPECT_TRUE(Contains(BeforeEndLine(WindowText(hOutput)), L"dalej\r\n"));
    }
    EXPECT_EQ(RunInConsole(L"child_program.exe cls"), CommandOutcome::Finished);
    EXPECT_EQ(BeforeEndLine(WindowText(hOutput)), L"po\r\n");
}

// Lines typed with the console's own editing, then Ctrl+Z and Enter end the input.
TEST_F(ConsoleRunTest, BackspaceCorrectsAndCtrlZEndsTheInput)
{
    Deadline deadline("the end of the input", 90);
    ConsoleUser user({
        {[](const std::wstring& text) { return text.empty(); },
         [] {
             Sleep(500);
             Type(L"ab");
             PressKey(VK_BACK, 0);
             Type(L"c\rdrugi\r");
             PressCtrl('Z');
             Type(L"\r");
         }},
    });
    EXPECT_EQ(RunInConsole(L"child_program.exe count"), CommandOutcome::Finished);
    EXPECT_EQ(BeforeEndLine(WindowText(hOutput)), L"ac\r\ndrugi\r\n^Z\r\nwierszy: 2\r\n");
}

// Under the OEM code page of a Polish Windows, Polish letters typed in reach the program as its
// console delivers them and print back right.
TEST_F(ConsoleRunTest, OemPolishLettersTypedInComeBackRight)
{
    if (GetOEMCP() != 852)
        GTEST_SKIP() << "needs the OEM code page 852, not " << GetOEMCP();
    Deadline deadline("Polish input", 90);
    ConsoleUser user({{[](const std::wstring& text) { return Contains(text, L"Napisz: "); }, [] { Type(L"łąka Ź\r"); }}});
    EXPECT_EQ(RunInConsole(L"child_program.exe echo"), CommandOutcome::Finished);
    // Code page 852's bytes of ł, ą and Ź.
    EXPECT_EQ(BeforeEndLine(WindowText(hOutput)), L"Napisz: łąka Ź\r\nEcho: łąka Ź\r\n88A56B61208D\r\n");
}

// A crash ends with its code and its meaning, without a debugger's dump of registers.
TEST_F(ConsoleRunTest, ACrashSaysWhatHappened)
{
    Deadline deadline("crashing programs", 90);
    struct Case {
        const wchar_t* command;
        const wchar_t* code;
        const wchar_t* meaning;
    };
    const Case cases[] = {
        {L"child_program.exe crash null", L"0xC0000005", L"Naruszenie dostępu do pamięci"},
        {L"child_program.exe crash divide", L"0xC0000094", L"Dzielenie całkowite przez zero."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunInConsole(c.command), CommandOutcome::Finished);
        const std::wstring text = WindowText(hOutput);
        EXPECT_EQ(BeforeEndLine(text, c.code), L"") << "nothing but the end line";
        EXPECT_TRUE(Contains(text, std::wstring(L"s.] ") + c.meaning)) << testing::PrintToString(text);
    }
}

// Escape ends a program that never ends, and the pane says so.
TEST_F(ConsoleRunTest, EscapeStopsAnEndlessProgram)
{
    Deadline deadline("Escape in the console", 60);
    ConsoleUser user({{[](const std::wstring& text) { return Contains(text, L"pid "); }, [] { PressKey(VK_ESCAPE); }}});
    EXPECT_EQ(RunInConsole(L"child_program.exe forever"), CommandOutcome::Stopped);
    const std::wstring text = WindowText(hOutput);
    EXPECT_TRUE(text.starts_with(L"pid ")) << testing::PrintToString(text);
    EXPECT_TRUE(text.ends_with(L"[Program zatrzymany klawiszem Esc.]\r\n")) << testing::PrintToString(text);
    const DWORD id = static_cast<DWORD>(_wtoi(text.c_str() + 4));
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << "the program still runs";
        CloseHandle(process);
    }
}

// Without a pseudoconsole the program still runs, through pipes, and one line says so.
TEST_F(ConsoleRunTest, WithoutAConsoleRunFallsBackToPipes)
{
    Deadline deadline("the pipe fallback", 60);
    SetOutputText(L"earlier");
    ConsoleFaults faults;
    faults.noPseudoConsole = true;
    EXPECT_EQ(RunInConsole(L"child_program.exe exit 0", faults), CommandOutcome::Finished);
    EXPECT_EQ(BeforeEndLine(WindowText(hOutput)), AsWideString(NoConsoleLine()) + L"\r\n");
}

// Run through the command bar: the pane is empty at once and the label says that the program
// runs, while it has printed nothing yet; afterwards the label shows the caret's place again.
TEST_F(ConsoleRunTest, ARunningProgramLooksLikeOne)
{
    Deadline deadline("a program that runs", 60);
    TempFolder folder;
    ASSERT_TRUE(CopyFileW((HelperFolder() + L"\\child_program.exe").c_str(), folder.Path(L"slow.exe").c_str(), FALSE));
    const Settings saved = ustawienia;
    wchar_t savedStart[kCurrentPathCapacity];
    lstrcpynW(savedStart, currentPathA, kCurrentPathCapacity);
    const std::wstring start = folder.Path(L"");
    lstrcpynW(currentPathA, start.substr(0, start.size() - 1).c_str(), kCurrentPathCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"gcc -o slow main.c", kDirectiveUnits);
    SetOutputText(L"[Zakończono z kodem 0 po 1,00 s.]");

    std::wstring label;
    ConsoleUser user({{[](const std::wstring&) { return true; },
                       [&label] {
                           Sleep(700);
                           label = WindowText(hLabel);
                       }},
                      {[](const std::wstring&) { return true; }, nullptr}});
    PressCommandBarButton(IDC_RUN);
    ustawienia = saved;
    lstrcpynW(currentPathA, savedStart, kCurrentPathCapacity);
    ASSERT_EQ(user.seen().size(), 2u);
    EXPECT_EQ(user.seen()[1], L"") << "the pane is empty while the program has printed nothing";
    EXPECT_EQ(label, L"Program działa…");
    EXPECT_EQ(BeforeEndLine(WindowText(hOutput)), L"gotowe\r\n");
    EXPECT_TRUE(WindowText(hLabel).starts_with(L"Wiersz ")) << testing::PrintToString(WindowText(hLabel));

    // Run with no program built says to compile first.
    DeleteFileW(folder.Path(L"slow.exe").c_str());
    lstrcpynW(currentPathA, start.substr(0, start.size() - 1).c_str(), kCurrentPathCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"gcc -o slow main.c", kDirectiveUnits);
    PressCommandBarButton(IDC_RUN);
    ustawienia = saved;
    lstrcpynW(currentPathA, savedStart, kCurrentPathCapacity);
    EXPECT_EQ(WindowText(hOutput), L"Nie ma programu slow.exe: najpierw go skompiluj (Compile).");
}

// Compile with a compiler that is nowhere on the PATH says so, besides the interpreter's own
// complaint.
TEST_F(ConsoleRunTest, ACompilerNotOnThePathIsNamed)
{
    Deadline deadline("a missing compiler", 60);
    TempFolder folder;
    const Settings saved = ustawienia;
    wchar_t savedStart[kCurrentPathCapacity];
    lstrcpynW(savedStart, currentPathA, kCurrentPathCapacity);
    const std::wstring start = folder.Path(L"");
    lstrcpynW(currentPathA, start.substr(0, start.size() - 1).c_str(), kCurrentPathCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"nosuchgcc -o x main.c", kDirectiveUnits);
    PressCommandBarButton(IDC_COMPILE);
    ustawienia = saved;
    lstrcpynW(currentPathA, savedStart, kCurrentPathCapacity);
    const std::wstring text = WindowText(hOutput);
    EXPECT_TRUE(text.starts_with(L"Kompilowanie\r\nNie znaleziono programu nosuchgcc w ścieżce PATH: zainstaluj MinGW-w64"))
        << testing::PrintToString(text);

    // One the PATH holds is not named.
    lstrcpynW(currentPathA, start.substr(0, start.size() - 1).c_str(), kCurrentPathCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"cmd /c rem -o x", kDirectiveUnits);
    PressCommandBarButton(IDC_COMPILE);
    ustawienia = saved;
    lstrcpynW(currentPathA, savedStart, kCurrentPathCapacity);
    EXPECT_FALSE(Contains(WindowText(hOutput), L"Nie znaleziono")) << testing::PrintToString(WindowText(hOutput));
}

}  // namespace
