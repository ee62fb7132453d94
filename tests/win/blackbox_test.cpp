// The real program, started as a user starts it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring ProgramBesideThisTest()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path);
    program.resize(program.find_last_of(L"\\/") + 1);
    return program + L"skoczek.exe";
}

// A local application data folder of the test's own, so that the copies of unsaved text a
// program keeps there are the test's to look at and never the user's.
std::wstring FreshAppData()
{
    static int made = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"skoczek-blackbox-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(++made);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// The program started with no arguments, as from its icon, with `appData` as its user's local
// application data and as the folder it starts in, which holds no source for it to open (the
// package's folder, where these tests also run, holds main.c).
bool StartProgram(PROCESS_INFORMATION& process, const std::wstring& appData = FreshAppData())
{
    SetEnvironmentVariableW(L"LOCALAPPDATA", appData.c_str());
    std::wstring commandLine = L"\"" + ProgramBesideThisTest() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, appData.c_str(), &startup,
                          &process) != FALSE;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND except;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && window != search->except && std::wstring(className) == search->className &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process and class, other than `except`.
HWND WaitForWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs, HWND except = nullptr)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        WindowSearch search = {processId, className, except, nullptr};
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(100);
    }
    return nullptr;
}

HWND WaitForMainWindow(DWORD processId)
{
    return WaitForWindow(processId, L"MainWindowClass", 30000);
}

// A dialog or message box of the process, other than `except`.
HWND WaitForDialog(DWORD processId, HWND except = nullptr)
{
    return WaitForWindow(processId, L"#32770", 20000, except);
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// Another process's control: its text comes through WM_GETTEXT, not its caption.
std::wstring ControlText(HWND control)
{
    wchar_t text[1024] = {};
    SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// The names of the copies of unsaved text in a local application data folder.
std::vector<std::wstring> CopiesIn(const std::wstring& appData)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((appData + L"\\Skoczek\\*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void EndAndClose(PROCESS_INFORMATION& process)
{
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(Program, StartsShowsItsWindowAndExitsCleanlyWhenClosed)
{
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(StartProgram(process)) << GetLastError();

    HWND window = WaitForMainWindow(process.dwProcessId);
    ASSERT_TRUE(window) << "no main window appeared";
    wchar_t title[16] = L"?";
    GetWindowTextW(window, title, 16);
    EXPECT_STREQ(title, L"");

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 12345;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    if (exitCode == STILL_ACTIVE)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The real program with a word typed into its editor, closed with the close box.
class ClosingWithChangedText : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartProgram(process_)) << GetLastError();
        window_ = WaitForMainWindow(process_.dwProcessId);
        ASSERT_TRUE(window_);
        HWND editor = GetDlgItem(window_, 1001);
        for (wchar_t character : std::wstring(L"int x;"))
            PostMessageW(editor, WM_CHAR, character, 1);
        PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
        box_ = WaitForDialog(process_.dwProcessId);
        ASSERT_TRUE(box_) << "no question before closing";
        EXPECT_EQ(TextOf(box_), L"Niezapisane zmiany");
    }
    void TearDown() override
    {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool Ended(DWORD timeoutMs) { return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0; }

    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
    HWND box_ = nullptr;
};

TEST_F(ClosingWithChangedText, CancelKeepsTheWindowAndNoClosesWithoutSaving)
{
    PostMessageW(box_, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(Ended(3000));
    EXPECT_TRUE(IsWindow(window_));
    // Another process's control: its text comes through WM_GETTEXT, not its caption.
    wchar_t text[64] = {};
    SendMessageW(GetDlgItem(window_, 1001), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"int x;");

    PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND again = WaitForDialog(process_.dwProcessId, box_);
    ASSERT_TRUE(again) << "asked again";
    PostMessageW(again, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(Ended(20000));
}

TEST_F(ClosingWithChangedText, YesSavesThroughTheDialogThenCloses)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"skoczek-close-" + std::to_wstring(GetCurrentProcessId()) + L".c";
    DeleteFileW(path.c_str());

    PostMessageW(box_, WM_COMMAND, IDYES, 0);
    HWND save = WaitForDialog(process_.dwProcessId, box_);
    ASSERT_TRUE(save) << "no save dialog";
    SetDlgItemTextW(save, 0x47C, path.c_str());
    PostMessageW(save, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Ended(20000));

    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "nothing saved";
    char bytes[16] = {};
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    DeleteFileW(path.c_str());
    EXPECT_EQ(std::string(bytes, read), "int x;");
}

// Text typed into an editor that is then killed comes back at the next start: the box says
// which file and when, Yes puts the text back as unsaved text, and a clean close leaves no copy.
TEST(Recovery, TextOfAKilledEditorComesBackAtTheNextStart)
{
    const std::wstring appData = FreshAppData();
    PROCESS_INFORMATION first = {};
    ASSERT_TRUE(StartProgram(first, appData)) << GetLastError();
    HWND window = WaitForMainWindow(first.dwProcessId);
    ASSERT_TRUE(window);
    for (wchar_t character : std::wstring(L"int odzysk = 1;"))
        PostMessageW(GetDlgItem(window, 1001), WM_CHAR, character, 1);
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (CopiesIn(appData).empty() && GetTickCount64() < deadline)
        Sleep(100);
    ASSERT_EQ(CopiesIn(appData).size(), 1u) << "a copy once typing rested";
    TerminateProcess(first.hProcess, 1);
    WaitForSingleObject(first.hProcess, 10000);
    EndAndClose(first);

    PROCESS_INFORMATION second = {};
    ASSERT_TRUE(StartProgram(second, appData)) << GetLastError();
    HWND box = WaitForDialog(second.dwProcessId);
    ASSERT_TRUE(box) << "the copy is offered";
    EXPECT_EQ(TextOf(box), L"Odzyskiwanie tekstu");
    const std::wstring said = ControlText(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(said.find(L"Plik: (tekst bez nazwy)\nKopia z: 20"), std::wstring::npos) << "which file and when";
    PostMessageW(box, WM_COMMAND, IDYES, 0);

    window = WaitForMainWindow(second.dwProcessId);
    ASSERT_TRUE(window);
    HWND editor = GetDlgItem(window, 1001);
    const ULONGLONG loaded = GetTickCount64() + 20000;
    while (ControlText(editor) != L"int odzysk = 1;" && GetTickCount64() < loaded)
        Sleep(100);
    EXPECT_EQ(ControlText(editor), L"int odzysk = 1;");

    // Unsaved: closing asks; No closes cleanly, and no copy is left for a third start.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND question = WaitForDialog(second.dwProcessId, box);
    ASSERT_TRUE(question) << "the recovered text is unsaved";
    EXPECT_EQ(TextOf(question), L"Niezapisane zmiany");
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 20000), WAIT_OBJECT_0);
    EndAndClose(second);
    EXPECT_TRUE(CopiesIn(appData).empty());
    RemoveDirectoryW((appData + L"\\Skoczek").c_str());
    RemoveDirectoryW(appData.c_str());
}

}  // namespace
