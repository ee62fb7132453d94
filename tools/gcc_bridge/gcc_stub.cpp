// gcc.exe for a Wine session without a Windows compiler: hands its command line and folder to
// the Linux-side helper through the spool folder beside this program, then prints what the real
// compiler printed and exits with its code. While it waits it holds a lock on a file of its own
// that Wine deletes when this program ends, however it ends: the helper then ends the compile.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tools/gcc_bridge/bridge_call.h"

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

void Write(HANDLE handle, const std::string& bytes)
{
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool ReadWhole(const std::wstring& path, std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return true;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int Fail(const char* why)
{
    Write(GetStdHandle(STD_ERROR_HANDLE), std::string("gcc bridge: ") + why + "\n");
    return 1;
}

constexpr const char* kNotRunning = "the Linux-side helper is not running; start the editor with scripts/run.sh";

// The helper holds a lock on helper.lock while it serves; a shared lock taken here for a moment
// fails only then (two of these programs asking at once do not stand in each other's way).
bool HelperServes(const std::wstring& spool)
{
    HANDLE file = CreateFileW((spool + L"helper.lock").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    OVERLAPPED at = {};
    const bool free = LockFileEx(file, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
    if (free)
        UnlockFileEx(file, 0, 1, 0, &at);
    CloseHandle(file);
    return !free;
}

// The lock that tells the helper this program still waits; closed (and so deleted) when it ends.
HANDLE HoldWaitingLock(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    OVERLAPPED at = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        CloseHandle(file);
        return nullptr;
    }
    return file;
}

}  // namespace

int main()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring spool = self;
    spool = spool.substr(0, spool.find_last_of(L'\\')) + L"\\spool\\";
    // A helper started just before the editor may still be taking its lock.
    for (int i = 0; !HelperServes(spool); ++i) {
        if (i == 20)
            return Fail(kNotRunning);
        Sleep(100);
    }

    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    const std::string request = gcc_bridge::EncodeRequest({Utf8(folder), Utf8(GetCommandLineW())});

    const std::wstring name = spool + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    HANDLE waiting = HoldWaitingLock(name + L".lock");
    if (!waiting || !WriteWhole(name + L".new", request)) {
        if (waiting)
            CloseHandle(waiting);
        return Fail("the spool folder beside gcc.exe cannot be written; start the editor with scripts/run.sh");
    }
    // Whole before the helper sees it.
    if (!MoveFileW((name + L".new").c_str(), (name + L".req").c_str())) {
        DeleteFileW((name + L".new").c_str());
        CloseHandle(waiting);
        return Fail("the request could not be placed");
    }

    // A request may wait its turn behind a long compile for as long as the helper serves.
    for (int i = 1; !Exists(name + L".status"); ++i) {
        if (i % 25 == 0 && !HelperServes(spool) && !Exists(name + L".status")) {
            for (const wchar_t* end : {L".req", L".work", L".out", L".err"})
                DeleteFileW((name + end).c_str());
            CloseHandle(waiting);
            return Fail(kNotRunning);
        }
        Sleep(20);
    }
    std::string out, err, status;
    ReadWhole(name + L".out", out);
    ReadWhole(name + L".err", err);
    ReadWhole(name + L".status", status);
    for (const wchar_t* end : {L".out", L".err", L".status"})
        DeleteFileW((name + end).c_str());
    CloseHandle(waiting);
    Write(GetStdHandle(STD_OUTPUT_HANDLE), out);
    Write(GetStdHandle(STD_ERROR_HANDLE), err);
    return status.empty() ? 1 : std::atoi(status.c_str());
}
