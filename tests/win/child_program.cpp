// A stand-in for the compiler and for the programs that Compile and Run start. What it does
// depends on its file name (gcc.exe, forever.exe, grandchild.exe, any other name) or, for
// child_program.exe, on its first argument.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

void Write(HANDLE to, const std::string& bytes)
{
    DWORD written = 0;
    WriteFile(to, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Print(const std::string& bytes)
{
    Write(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
}

std::string Utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                              nullptr)));
    return bytes;
}

std::wstring CurrentDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

std::wstring OwnPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring OwnName()
{
    std::wstring path = OwnPath();
    path = path.substr(path.find_last_of(L"\\/") + 1);
    for (wchar_t& c : path)
        c = static_cast<wchar_t>(towlower(c));
    return path.substr(0, path.rfind(L'.'));
}

void WriteRecord(const wchar_t* file, const std::vector<std::wstring>& lines)
{
    std::string bytes;
    for (const std::wstring& line : lines)
        bytes += Utf8(line) + "\n";
    HANDLE record = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    Write(record, bytes);
    CloseHandle(record);
}

// Records how it was started, whether the old output was already gone, and "builds" the
// program by copying itself to the output name.
int ActAsCompiler(const std::vector<std::wstring>& args)
{
    std::wstring output;
    for (std::size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == L"-o")
            output = args[i + 1] + L".exe";
    }
    const bool existed = !output.empty() && GetFileAttributesW(output.c_str()) != INVALID_FILE_ATTRIBUTES;
    WriteRecord(L"compiler_record.txt", {GetCommandLineW(), CurrentDirectory(), existed ? L"existed" : L"absent"});
    if (!output.empty())
        CopyFileW(OwnPath().c_str(), output.c_str(), FALSE);
    Write(GetStdHandle(STD_ERROR_HANDLE), "main.c:3:5: error: expected ';' before 'return'\r\n");
    return 1;
}

int ActAsBuiltProgram()
{
    WriteRecord(L"program_record.txt", {GetCommandLineW(), CurrentDirectory()});
    Print("Witaj ze zbudowanego programu\r\n");
    return 0;
}

// Lines numbered in order, alternately on standard output and standard error, in many
// small writes: about 100 KB.
int PrintChattily()
{
    for (int line = 0; line < 10000; ++line) {
        char text[32];
        wsprintfA(text, "%c%05d\r\n", line % 2 ? 'e' : 'o', line);
        Write(GetStdHandle(line % 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text);
    }
    return 0;
}

// The text in the OEM code page, one byte per write with pauses, so every read gets one byte.
int PrintByteByByte(const std::wstring& text)
{
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                              nullptr)));
    for (char byte : bytes) {
        Print(std::string(1, byte));
        Sleep(15);
    }
    return 0;
}

int WaitForever()
{
    Print("pid " + std::to_string(GetCurrentProcessId()) + "\r\n");
    WriteRecord(L"forever.pid", {std::to_wstring(GetCurrentProcessId())});
    Sleep(INFINITE);
    return 0;
}

// Leaves behind a process that never ends and holds the output's write end.
int StartGrandchild()
{
    std::wstring commandLine = L"\"" + OwnPath() + L"\" forever";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
        return 2;
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return 0;
}

DWORD WINAPI DoNothing(void*)
{
    return 0;
}

// Process ids and thread ids come from one pool, and Wine hands freed ids out again first
// come, first served: a thread started and ended takes the id at the front of the queue and
// puts it at the back.
DWORD PassOneId()
{
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, DoNothing, nullptr, 0, &id);
    if (!thread)
        return 0;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return id;
}

// Starts "forever" (with this program's standard handles) as a process given the id an ended
// process had, by passing ids until that one comes round; then waits to be ended.
int StartWithReusedId(DWORD wanted)
{
    const ULONGLONG deadline = GetTickCount64() + 60000;
    const auto passUntilWanted = [&](DWORD& passed) {
        for (passed = 1; PassOneId() != wanted; ++passed) {
            if (GetTickCount64() > deadline)
                return false;
        }
        return true;
    };
    DWORD passed = 0;
    while (passUntilWanted(passed)) {
        // Once round the queue measures it; one short of that, the next process gets the id.
        DWORD round = 0;
        if (!passUntilWanted(round))
            break;
        for (DWORD i = 1; i < round; ++i)
            PassOneId();
        std::wstring commandLine = L"\"" + OwnPath() + L"\" forever";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION child{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
            return 2;
        CloseHandle(child.hThread);
        if (child.dwProcessId == wanted) {
            CloseHandle(child.hProcess);
            Sleep(INFINITE);
        }
        // Something else took an id meanwhile: try again.
        TerminateProcess(child.hProcess, 1);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess);
    }
    Print("no process got the id\r\n");
    return 3;
}

// Gives a copy of its standard output to another process, which the command did not start,
// then prints and waits to be ended.
int LendOutputTo(DWORD holder)
{
    HANDLE other = OpenProcess(PROCESS_DUP_HANDLE, FALSE, holder);
    HANDLE copy = nullptr;
    if (!other || !DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_OUTPUT_HANDLE), other, &copy, 0, FALSE,
                                   DUPLICATE_SAME_ACCESS))
        return 2;
    CloseHandle(other);
    Print("pid " + std::to_string(GetCurrentProcessId()) + "\r\n");
    Sleep(INFINITE);
    return 0;
}

// Blocks of 4 KiB, as a program printing a lot would write them.
int Flood(int mebibytes)
{
    std::string block;
    while (block.size() < 4096)
        block += "wiersz wyjscia programu 0123456789\r\n";
    block.resize(4096);
    for (int i = 0; i < mebibytes * 256; ++i)
        Print(block);
    return 0;
}

// Standard input up to its end, or until `lines` line breaks have come (0: no limit).
std::string ReadInput(int lines)
{
    std::string input;
    char block[256];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), block, sizeof block, &read, nullptr) && read > 0) {
        input.append(block, read);
        int breaks = 0;
        for (char c : input)
            breaks += c == '\n';
        if (lines > 0 && breaks >= lines)
            break;
    }
    return input;
}

// Asks for two numbers without ending the line, as a scanf program does, and prints their
// sum ending with a lone LF.
int AddTwoNumbers()
{
    Print(Utf8(L"Podaj dwie liczby: "));
    const std::string input = ReadInput(2);
    const std::size_t second = input.find('\n');
    const int sum = atoi(input.c_str()) + (second == std::string::npos ? 0 : atoi(input.c_str() + second + 1));
    Print(Utf8(L"Suma: ") + std::to_string(sum) + "\n");
    return 0;
}

// One UTF-8 line with Polish letters, then the same kind of text in the OEM code page.
int PrintMixedEncodings(const std::wstring& oemText)
{
    Print(Utf8(L"\u015arednia: za\u017c\u00f3\u0142\u0107\r\n"));
    std::string bytes(oemText.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_OEMCP, 0, oemText.data(), static_cast<int>(oemText.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                              nullptr)));
    Print(bytes + "\r\n");
    return 0;
}

}  // namespace

int wmain()
{
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::vector<std::wstring> args(argv, argv + count);
    LocalFree(argv);

    const std::wstring name = OwnName();
    const std::wstring mode = args.size() > 1 ? args[1] : L"";
    if (name == L"forever" || mode == L"forever")
        return WaitForever();
    if (name == L"gcc")
        return ActAsCompiler(args);
    if (name == L"grandchild")
        return StartGrandchild();
    if (name != L"child_program")
        return ActAsBuiltProgram();

    if (mode == L"chatty")
        return PrintChattily();
    if (mode == L"bytes" && args.size() > 2)
        return PrintByteByByte(args[2]);
    if (mode == L"longline") {
        Print(std::string(300000, '*'));
        return 0;
    }
    if (mode == L"zero") {
        Print(std::string("przed\0po\r\n", 10));
        return 0;
    }
    if (mode == L"sum")
        return AddTwoNumbers();
    if (mode == L"input") {
        Print("odebrano[" + ReadInput(0) + "]");
        return 0;
    }
    if (mode == L"mixed" && args.size() > 2)
        return PrintMixedEncodings(args[2]);
    if (mode == L"exit" && args.size() > 2)
        ExitProcess(static_cast<UINT>(std::stoll(args[2])));
    if (mode == L"lend" && args.size() > 2)
        return LendOutputTo(static_cast<DWORD>(std::stoul(args[2])));
    if (mode == L"reuse" && args.size() > 2)
        return StartWithReusedId(static_cast<DWORD>(std::stoul(args[2])));
    if (mode == L"flood" && args.size() > 2)
        return Flood(_wtoi(args[2].c_str()));
    return 0;  // "silent" and anything else print nothing
}
