// Started by the editor inside the pseudoconsole it gives a program: a child started there
// does not always get the console as its standard handles (Wine sets them only for consoles
// it makes itself), so this small console program opens the console's input and output and
// starts the command after its own name with them. It ends with the command's exit code.
#include <windows.h>

namespace {

// The command line after the launcher's own name, quoted or not.
wchar_t* CommandAfterOwnName(wchar_t* line)
{
    bool quoted = false;
    for (; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line) {
        if (*line == L'"')
            quoted = !quoted;
    }
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}

HANDLE OpenConsole(const wchar_t* name)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                       OPEN_EXISTING, 0, nullptr);
}

// Ctrl+C in the console is meant for the program: the launcher waits on to hand back its exit
// code. A handler of its own is not inherited, as ignoring the key would be.
BOOL WINAPI KeepWaiting(DWORD event)
{
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

}  // namespace

int wmain()
{
    wchar_t* command = CommandAfterOwnName(GetCommandLineW());
    if (*command == L'\0')
        return 1;
    SetConsoleCtrlHandler(KeepWaiting, TRUE);
    const HANDLE input = OpenConsole(L"CONIN$");
    const HANDLE output = OpenConsole(L"CONOUT$");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
        const DWORD error = GetLastError();
        return static_cast<int>(error == 0 ? 1 : error);
    }
    CloseHandle(child.hThread);
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hProcess);
    return static_cast<int>(exitCode);
}
