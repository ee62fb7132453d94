// Compile and Run with the real mingw-w64 compiler, reached through gcc.exe of the bridge:
// the script that runs this test puts gcc.exe on the session's PATH and starts the helper,
// whose compiler sleeps instead when given -DBRIDGE_TEST_SLEEP=SECONDS (noting its process
// ids in the compile folder), as a long compile would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/text_file.h"
#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "win32/process_state.h"

namespace {

// What is left in the spool folder beside gcc.exe, besides the helper's own lock.
std::vector<std::wstring> SpoolLeftovers()
{
    wchar_t gcc[MAX_PATH] = {};
    wchar_t* name = gcc;
    SearchPathW(nullptr, L"gcc.exe", nullptr, MAX_PATH, gcc, &name);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(gcc, name) + L"spool\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (found.cFileName[0] != L'.' && std::wstring(found.cFileName) != L"helper.lock")
            names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return names;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A Linux process id the stand-in compiler noted, once the whole line is there.
unsigned NotedProcess(const std::wstring& path)
{
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    return text.ends_with('\n') ? static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10)) : 0;
}

// Whether a Linux process runs, read from /proc through drive Z: (a zombie does not run).
bool LinuxProcessRuns(unsigned id)
{
    const std::vector<unsigned char> stat = ReadFileBytes(L"Z:\\proc\\" + std::to_wstring(id) + L"\\stat");
    const std::string text(stat.begin(), stat.end());
    const std::size_t name = text.rfind(')');
    return name != std::string::npos && name + 2 < text.size() && text[name + 2] != 'Z' && text[name + 2] != 'X';
}

template <typename Condition>
bool WithinSeconds(int seconds, Condition holds)
{
    for (const ULONGLONG end = GetTickCount64() + 1000ull * seconds; !holds(); Sleep(20))
        if (GetTickCount64() > end)
            return false;
    return true;
}

const char kProgram[] = "#include <stdio.h>\r\n\r\nint main(void)\r\n{\r\n    puts(\"gotowe\");\r\n    return 0;\r\n}\r\n";

// gcc.exe started in a folder, as another program's Compile would start it.
HANDLE StartGcc(const TempFolder& folder, std::wstring arguments)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    arguments = L"gcc.exe " + arguments;
    EXPECT_TRUE(CreateProcessW(nullptr, arguments.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               folder.Path(L"").c_str(), &startup, &started));
    CloseHandle(started.hThread);
    return started.hProcess;
}

// The exit code of a process that ends within the seconds, or -1; the handle is closed.
long ExitCode(HANDLE process, DWORD seconds)
{
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process, seconds * 1000) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return ended ? static_cast<long>(code) : -1;
}

TEST(BridgeCompile, TheRealCompilersMessageLeadsToTheFixAndTheProgramRuns)
{
    TempFolder folder;
    const std::wstring start = folder.Path(L"");
    lstrcpynW(currentPathA, start.substr(0, start.size() - 1).c_str(), kCurrentPathCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"gcc -o out_file main.c", kDirectiveUnits);

    // The semicolon after printf(...) is missing.
    SetWindowTextW(hEdit, L"#include <stdio.h>\r\n\r\nint main(void)\r\n{\r\n"
                          L"    printf(\"Skoczek %d\\n\", 1)\r\n    puts(\"koniec\");\r\n    return 0;\r\n}\r\n");
    lstrcpynW(current_file, folder.Path(L"main.c").c_str(), kCurrentFileCapacity);
    PressCommandBarButton(IDC_SAVE);

    PressCommandBarButton(IDC_COMPILE);
    const std::wstring messages = WindowText(hOutput);
    const std::size_t error = messages.find(L"main.c:5:");
    ASSERT_NE(error, std::wstring::npos) << "no message for line 5 in:\n" << messages;
    EXPECT_NE(messages.find(L"error:", error), std::wstring::npos) << messages;
    EXPECT_EQ(GetFileAttributesW(folder.Path(L"out_file.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    SetFocus(hOutput);
    DoubleClickOnCharacter(hOutput, static_cast<int>(error) + 2);
    const DWORD caret = SelectionOf(hEdit).start;
    ASSERT_EQ(SendMessageW(hEdit, EM_LINEFROMCHAR, caret, 0), 4) << "the caret goes to the message's line";

    // gcc points just behind the closing parenthesis, where the semicolon belongs.
    SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L";"));
    PressCommandBarButton(IDC_SAVE);
    PressCommandBarButton(IDC_COMPILE);
    EXPECT_EQ(WindowText(hOutput).find(L"error"), std::wstring::npos) << WindowText(hOutput);
    ASSERT_NE(GetFileAttributesW(folder.Path(L"out_file.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    PressCommandBarButton(IDC_RUN);
    const std::wstring end = L"[Zakończono z kodem 0 po ";
    EXPECT_EQ(WindowText(hOutput).substr(0, 19 + end.size()), L"Skoczek 1\r\nkoniec\r\n" + end);
}

// Escape during a compile through the bridge: the editor's job ends gcc.exe, and the helper then
// ends the compiler with what it started, and leaves nothing in the spool folder.
TEST(BridgeCompile, EscapeEndsTheCompilerAndALaterCompileWorks)
{
    TempFolder folder;
    const std::wstring start = folder.Path(L"");
    lstrcpynW(currentPathA, start.substr(0, start.size() - 1).c_str(), kCurrentPathCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"gcc -DBRIDGE_TEST_SLEEP=60 -o out_file main.c",
              kDirectiveUnits);
    SetWindowTextW(hEdit, std::wstring(kProgram, kProgram + std::strlen(kProgram)).c_str());
    lstrcpynW(current_file, folder.Path(L"main.c").c_str(), kCurrentFileCapacity);
    PressCommandBarButton(IDC_SAVE);

    // A user who presses Escape once the compile is under way.
    std::wstring noted = folder.Path(L"compiler.pid");
    auto pressEscape = [](void* path) -> DWORD {
        WithinSeconds(20, [&] { return NotedProcess(*static_cast<std::wstring*>(path)) != 0; });
        SendKeyEvents({KeyEvent(VK_ESCAPE, 0, false), KeyEvent(VK_ESCAPE, 0, true)});
        return 0;
    };
    HANDLE user = CreateThread(nullptr, 0, pressEscape, &noted, 0, nullptr);
    {
        Deadline deadline("Escape during a compile through the bridge");
        PressCommandBarButton(IDC_COMPILE);
    }
    WaitForSingleObject(user, INFINITE);
    CloseHandle(user);
    const std::wstring shown = WindowText(hOutput);
    ASSERT_NE(shown.find(L"[Program zatrzymany klawiszem Esc.]"), std::wstring::npos) << shown;

    const unsigned compiler = NotedProcess(noted), sleeper = NotedProcess(folder.Path(L"sleeper.pid"));
    ASSERT_NE(compiler, 0u);
    ASSERT_NE(sleeper, 0u);
    EXPECT_TRUE(WithinSeconds(5, [&] { return !LinuxProcessRuns(compiler) && !LinuxProcessRuns(sleeper); }))
        << "the compiler " << compiler << " or what it started, " << sleeper << ", still runs";
    EXPECT_TRUE(WithinSeconds(5, [] { return SpoolLeftovers().empty(); }))
        << "left in spool/: " << testing::PrintToString(SpoolLeftovers());

    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"gcc -o out_file main.c", kDirectiveUnits);
    PressCommandBarButton(IDC_COMPILE);
    EXPECT_NE(WindowText(hOutput).find(L"[Zakończono z kodem 0 po "), std::wstring::npos) << WindowText(hOutput);
    EXPECT_TRUE(Exists(folder.Path(L"out_file.exe")));
    EXPECT_TRUE(SpoolLeftovers().empty()) << testing::PrintToString(SpoolLeftovers());
}

// Requests wait their turn behind a long compile, for longer than the helper takes to answer
// when it is not busy; one whose gcc.exe has ended meanwhile is never compiled.
TEST(BridgeCompile, AQueuedCompileWaitsItsTurnAndAWithdrawnOneIsNotCompiled)
{
    TempFolder longFolder, withdrawnFolder, queuedFolder;
    WriteFileBytes(queuedFolder.Path(L"main.c"), std::vector<unsigned char>(kProgram, kProgram + std::strlen(kProgram)));
    Deadline deadline("a queue behind a long compile", 60);

    HANDLE longCompile = StartGcc(longFolder, L"-DBRIDGE_TEST_SLEEP=7 -c main.c");
    ASSERT_TRUE(WithinSeconds(20, [&] { return NotedProcess(longFolder.Path(L"compiler.pid")) != 0; }));
    HANDLE withdrawn = StartGcc(withdrawnFolder, L"-DBRIDGE_TEST_SLEEP=1 -c main.c");
    Sleep(500);  // placed and waiting
    TerminateProcess(withdrawn, 1);
    ExitCode(withdrawn, 5);
    const ULONGLONG placed = GetTickCount64();
    EXPECT_EQ(ExitCode(StartGcc(queuedFolder, L"-o out_file main.c"), 40), 0);
    EXPECT_GT(GetTickCount64() - placed, 5000u) << "the queued compile did not wait for the long one";
    EXPECT_EQ(ExitCode(longCompile, 5), 0);
    EXPECT_TRUE(Exists(longFolder.Path(L"compiler.finished")));
    EXPECT_TRUE(Exists(queuedFolder.Path(L"out_file.exe")));
    EXPECT_TRUE(WithinSeconds(2, [] { return SpoolLeftovers().empty(); }))
        << "left in spool/: " << testing::PrintToString(SpoolLeftovers());
    EXPECT_FALSE(Exists(withdrawnFolder.Path(L"compiler.pid"))) << "the withdrawn request was compiled";
}

}  // namespace
