#include "files/recovery.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "files/file_io.h"
#include "files/recovery_copy.h"
#include "resources/resource_ids.h"
#include "text/line_ends.h"
#include "text/wide.h"
#include "win32/holders.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

UINT_PTR restTimer = 0;

std::uint64_t FromFileTime(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// When a process started, which tells it from a later one that was given the same id.
std::optional<std::uint64_t> ProcessStart(HANDLE process)
{
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return std::nullopt;
    return FromFileTime(created);
}

RecoverySession OwnSession()
{
    return {GetCurrentProcessId(), ProcessStart(GetCurrentProcess()).value_or(0)};
}

bool SessionRunning(const RecoverySession& session)
{
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, session.process));
    if (!process.valid())
        return false;
    DWORD code = 0;
    if (GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE)
        return false;
    return ProcessStart(process.get()) == session.started;
}

std::wstring InFolder(const std::u16string& name)
{
    const std::wstring folder = RecoveryFolder();
    return folder.empty() ? std::wstring() : folder + L"\\" + AsWideString(name);
}

std::u16string LocalTimeText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[32];
    wsprintfW(text, L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    return AsUtf16(text);
}

void CALLBACK OnRest(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, restTimer);
    restTimer = 0;
    WriteRecoveryCopyNow();
}

std::optional<std::vector<std::uint8_t>> ReadBytes(const std::wstring& path)
{
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(file.get(), 1u << 31, bytes) != ReadOutcome::Loaded)
        return std::nullopt;
    return bytes;
}

struct LeftCopy {
    std::wstring path;
    RecoveryCopyName name;
    std::uint64_t written = 0;
};

// The copies of sessions that have ended, newest first.
std::vector<LeftCopy> LeftCopies()
{
    std::vector<LeftCopy> copies;
    const std::wstring folder = RecoveryFolder();
    if (folder.empty())
        return copies;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return copies;
    const RecoverySession own = OwnSession();
    do {
        const std::optional<RecoveryCopyName> name = ParseRecoveryFileName(AsUtf16(found.cFileName));
        if (!name || name->session == own || SessionRunning(name->session))
            continue;
        copies.push_back({folder + L"\\" + found.cFileName, *name, FromFileTime(found.ftLastWriteTime)});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(copies.begin(), copies.end(), [](const LeftCopy& a, const LeftCopy& b) { return a.written > b.written; });
    return copies;
}

// Which file and when, under the question.
std::wstring OfferDetail(const RecoveryCopy& copy)
{
    std::wstring detail = MessageText(IDS_RECOVERY_FILE);
    detail += copy.file.empty() ? MessageText(IDS_RECOVERY_NO_NAME) : AsWideString(copy.file);
    detail += L"\n";
    detail += MessageText(IDS_RECOVERY_TIME);
    detail += AsWideString(copy.time);
    return detail;
}

// The copy's text in the editor, unsaved, under its file's name and with its line ends.
void LoadRecovered(RecoveryCopy copy)
{
    const LineEnds ends = LineEndsOf(copy.text);
    MakeLineEndsCrLf(copy.text);
    current_line_ends = ends;
    SetWindowTextW(hEdit, AsWide(copy.text));
    SendMessageW(hEdit, EM_SETMODIFY, TRUE, 0);
    lstrcpynW(current_file, AsWide(copy.file), kCurrentFileCapacity);
    SetWindowTextW(mHwnd, current_file);
    RepaintNow(hEdit);
}

}  // namespace

std::wstring RecoveryFolder()
{
    wchar_t base[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring folder = std::wstring(base, length) + L"\\Skoczek";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring RecoveryCopyPath()
{
    return InFolder(RecoveryFileName({OwnSession(), false}));
}

void NoteEditorTextChanged()
{
    // Each change starts the wait again, so the copy is written once typing rests.
    if (restTimer)
        KillTimer(nullptr, restTimer);
    restTimer = SetTimer(nullptr, 0, kRecoveryDelayMs, OnRest);
}

void WriteRecoveryCopyNow()
{
    if (!hEdit)
        return;
    if (!SendMessageW(hEdit, EM_GETMODIFY, 0, 0)) {
        DiscardRecoveryCopy();
        return;
    }
    const std::wstring path = RecoveryCopyPath();
    if (path.empty())
        return;
    try {
        const std::optional<std::wstring> text = TakeWindowText(hEdit);
        if (!text)
            return;
        // The text as its file would hold it, line ends included, so it comes back as a file does.
        const std::u16string_view shown = AsUtf16View(*text);
        const RecoveryCopy copy{AsUtf16(current_file), LocalTimeText(),
                                current_line_ends == LineEnds::CrLf ? std::u16string(shown)
                                                                    : WithLineEnds(shown, current_line_ends)};
        const std::vector<std::uint8_t> bytes = RecoveryCopyBytes(copy);
        // Written as a save is: the copy before stays whole until the new one is complete.
        WriteFileSafely(path.c_str(), bytes);
    } catch (const std::bad_alloc&) {
        // The next rest tries again; the copy on disk is the last one that could be made.
    }
}

void DiscardRecoveryCopy()
{
    if (restTimer) {
        KillTimer(nullptr, restTimer);
        restTimer = 0;
    }
    const std::wstring path = RecoveryCopyPath();
    if (!path.empty())
        DeleteFileW(path.c_str());
}

void OfferRecoveredText(HWND owner)
{
    try {
        for (const LeftCopy& left : LeftCopies()) {
            const std::optional<std::vector<std::uint8_t>> bytes = ReadBytes(left.path);
            const std::optional<RecoveryCopy> copy = bytes ? ReadRecoveryCopy(*bytes) : std::nullopt;
            if (!copy) {
                DeleteFileW(left.path.c_str());  // not a whole copy: nothing in it can be offered
                continue;
            }
            const std::wstring detail = OfferDetail(*copy);
            if (ReportMessage(owner, IDS_RECOVERY_OFFER, MessageDetail::Path(detail.c_str())) == IDYES) {
                LoadRecovered(*copy);
                // The text is this session's now: its own copy is made before the old one goes.
                WriteRecoveryCopyNow();
                DeleteFileW(left.path.c_str());
                return;
            }
            if (left.name.declined) {
                DeleteFileW(left.path.c_str());
            } else {
                RecoveryCopyName declined = left.name;
                declined.declined = true;
                MoveFileExW(left.path.c_str(), InFolder(RecoveryFileName(declined)).c_str(), MOVEFILE_REPLACE_EXISTING);
            }
        }
    } catch (const std::bad_alloc&) {
        // The copies stay where they are for the next start.
    }
    SetFocus(hEdit);
}
