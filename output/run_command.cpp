#include "output/run_command.h"

#include <tlhelp32.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "output/command_line.h"
#include "output/output_pane.h"
#include "output/output_stream.h"
#include "resources/resource_ids.h"
#include "text/wide.h"
#include "win32/holders.h"
#include "win32/messages.h"
#include "win32/process_state.h"

namespace {

// Large reads from a large pipe: under Wine each read costs about the same whatever its size,
// so a flood of output drains several times faster than in 4 KiB steps.
constexpr DWORD kReadBlockBytes = 64 * 1024;
constexpr DWORD kPipeBufferBytes = 1024 * 1024;
// Each update of a visible edit control costs the same whatever it adds, so the pane is
// updated at most this often while output streams in.
constexpr ULONGLONG kPaneUpdateInterval = 100;
// Without a job, how often the processes a command started are looked for.
constexpr DWORD kTreeWatchInterval = 200;

bool commandRunning = false;

// Reads the pipe on a thread of its own, so that the window's thread can watch for Escape
// and repaint while a command is quiet for a long time.
class PipeReader {
public:
    explicit PipeReader(HANDLE readEnd) : readEnd_(readEnd) { InitializeCriticalSection(&lock_); }
    ~PipeReader()
    {
        if (thread_.valid())
            WaitForSingleObject(thread_.get(), INFINITE);
        DeleteCriticalSection(&lock_);
    }
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    bool Start()
    {
        arrived_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!arrived_.valid())
            return false;
        thread_.reset(CreateThread(nullptr, 0, ReadUntilEnd, this, 0, nullptr));
        return thread_.valid();
    }

    HANDLE Ended() const { return thread_.get(); }
    HANDLE Arrived() const { return arrived_.get(); }

    std::string TakePending()
    {
        EnterCriticalSection(&lock_);
        std::string taken = output_.TakePending();
        LeaveCriticalSection(&lock_);
        return taken;
    }

    std::uint64_t LeftOut()
    {
        EnterCriticalSection(&lock_);
        const std::uint64_t leftOut = output_.LeftOut();
        LeaveCriticalSection(&lock_);
        return leftOut;
    }

private:
    static DWORD WINAPI ReadUntilEnd(void* self)
    {
        static_cast<PipeReader*>(self)->ReadAll();
        return 0;
    }

    void ReadAll()
    {
        char block[kReadBlockBytes];
        DWORD read = 0;
        while (ReadFile(readEnd_, block, kReadBlockBytes, &read, nullptr) && read > 0) {
            EnterCriticalSection(&lock_);
            try {
                output_.Add({block, read});
            } catch (const std::bad_alloc&) {
                // The block is lost from the pane; the pipe is still drained.
            }
            LeaveCriticalSection(&lock_);
            SetEvent(arrived_.get());
            // A read that emptied the pipe: a moment's pause lets a program that prints a lot
            // write many blocks before the next read takes them all at once.
            if (read < kReadBlockBytes)
                Sleep(1);
        }
    }

    HANDLE readEnd_;
    CRITICAL_SECTION lock_;
    CappedOutput output_;
    ScopedHandle arrived_;
    ScopedHandle thread_;
};

// Decodes the output from the OEM code page as one stream: a character split between two
// reads is held back until its last byte arrives.
class OemDecoder {
public:
    OemDecoder()
    {
        CPINFOEXW info{};
        if (!GetCPInfoExW(CP_OEMCP, 0, &info))
            return;
        codePage_ = info.CodePage;
        if (info.CodePage == CP_UTF8) {
            shape_.kind = ByteCharacterShape::Kind::Utf8;
        } else if (info.MaxCharSize > 1) {
            shape_.kind = ByteCharacterShape::Kind::LeadBytes;
            for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2) {
                for (int byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte)
                    shape_.isLeadByte[byte] = true;
            }
        }
    }

    // At the end of the output, whatever is held back is decoded as it stands.
    std::wstring Decode(const std::string& bytes, bool atEnd)
    {
        held_ += bytes;
        const std::size_t complete = atEnd ? held_.size() : CompleteCharacterBytes(held_, shape_);
        std::wstring text(complete, L'\0');
        const int length = complete == 0 ? 0
                                         : MultiByteToWideChar(codePage_, 0, held_.data(), static_cast<int>(complete),
                                                               text.data(), static_cast<int>(text.size()));
        text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        held_.erase(0, complete);
        return text;
    }

private:
    UINT codePage_ = CP_OEMCP;
    ByteCharacterShape shape_;
    std::string held_;
};

// The first text of a command replaces the pane's text; later text is added after it.
class PaneWriter {
public:
    void Show(const std::wstring& text)
    {
        if (text.empty())
            return;
        if (shownAny_)
            AppendOutputText(text);
        else
            SetOutputText(text);
        shownAny_ = true;
    }

private:
    bool shownAny_ = false;
};

// The processes that `root` started, and those that they started, found by their parents'
// ids; `known` holds the root and what earlier walks found, and receives what this one finds.
// A process keeps its parent's id after the parent has ended, so a second walk still finds
// what the first left running.
void FindDescendants(std::vector<DWORD>& known)
{
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return;
    std::vector<PROCESSENTRY32W> processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        processes.push_back(entry);
    for (bool grew = true; grew;) {
        grew = false;
        for (const PROCESSENTRY32W& process : processes) {
            const auto isKnown = [&known](DWORD id) { return std::find(known.begin(), known.end(), id) != known.end(); };
            if (process.th32ProcessID != 0 && isKnown(process.th32ParentProcessID) && !isKnown(process.th32ProcessID)) {
                known.push_back(process.th32ProcessID);
                grew = true;
            }
        }
    }
}

// Everything the command starts lives in one job, ended together on Escape and whenever
// the command's output has ended, so nothing it started can hold the pipe open for ever.
// Where no job can be had, the processes the command started are found and ended one by one.
class ChildJob {
public:
    ChildJob(HANDLE process, DWORD processId, bool allowJob) : process_(process), tree_{processId}
    {
        if (allowJob)
            job_.reset(CreateJobObjectW(nullptr, nullptr));
        if (!job_.valid())
            return;
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
            !AssignProcessToJobObject(job_.get(), process))
            job_.reset();
    }

    bool HasJob() const { return job_.valid(); }

    // Without a job, notes what the command has started so far: a process that starts another
    // and ends leaves only this record of whose the other one is.
    void Watch()
    {
        if (job_.valid())
            return;
        try {
            FindDescendants(tree_);
        } catch (const std::bad_alloc&) {
            // What was found before is still ended on Escape.
        }
    }

    // Safe to call again: each call ends whatever of the command is still running.
    void Stop()
    {
        if (job_.valid()) {
            TerminateJobObject(job_.get(), 1);
            return;
        }
        Watch();
        TerminateProcess(process_, 1);
        for (std::size_t i = 1; i < tree_.size(); ++i) {
            ScopedHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, tree_[i]));
            if (process.valid())
                TerminateProcess(process.get(), 1);
        }
    }

private:
    HANDLE process_;
    std::vector<DWORD> tree_;  // the interpreter first, then what it started
    ScopedHandle job_;
};

// Takes every keyboard and mouse message out of the queue, so that nothing typed or
// clicked while a command runs reaches a window; true when Escape was pressed.
bool SwallowInputWatchingForEscape()
{
    struct MessageRange {
        UINT first;
        UINT last;
    };
    constexpr MessageRange kInput[] = {
        {WM_KEYFIRST, WM_KEYLAST},
        {WM_MOUSEFIRST, WM_MOUSELAST},
        {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},
    };
    bool escape = false;
    MSG message;
    for (const MessageRange& range : kInput) {
        while (PeekMessageW(&message, nullptr, range.first, range.last, PM_REMOVE)) {
            if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
                escape = true;
        }
    }
    return escape;
}

void RepaintWhileWaiting()
{
    // Bounded, so a window that never validates itself cannot hold the wait here.
    MSG message;
    for (int i = 0; i < 64 && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        DispatchMessageW(&message);
}

std::wstring BreakLongLines(LongLineBreaker& breaker, const std::wstring& text)
{
    return AsWideString(breaker.Apply(AsUtf16View(text)));
}

CommandOutcome ShowOutputUntilItEnds(PipeReader& reader, ChildJob& job, const RunFaults& faults)
{
    OemDecoder decoder;
    LongLineBreaker lineBreaker;
    PaneWriter pane;
    bool stopped = false;
    bool unshown = false;
    ULONGLONG lastShown = 0;
    const HANDLE waits[] = {reader.Ended(), reader.Arrived()};

    for (;;) {
        DWORD timeout = job.HasJob() ? INFINITE : kTreeWatchInterval;
        if (unshown) {
            const ULONGLONG since = GetTickCount64() - lastShown;
            timeout = std::min<DWORD>(timeout, since >= kPaneUpdateInterval ? 0 : static_cast<DWORD>(kPaneUpdateInterval - since));
        }
        // Once output waits to be shown, more of it changes nothing until the next update, so
        // only the end is watched for: a flood then wakes this thread once per update, not once
        // per read.
        const DWORD watched = unshown ? 1 : 2;
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(watched, waits, timeout, QS_KEY | QS_MOUSEBUTTON | QS_PAINT | QS_SENDMESSAGE, 0);
        if (woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_OBJECT_0 + 1)
            unshown = true;
        job.Watch();

        // Looked at on every turn: a flood of output must not starve the keyboard. Every
        // Escape stops again whatever a first stop could not reach.
        if (SwallowInputWatchingForEscape()) {
            job.Stop();
            stopped = true;
        }
        RepaintWhileWaiting();

        if (unshown && GetTickCount64() - lastShown >= kPaneUpdateInterval) {
            if (faults.failWhileShowing)
                throw std::bad_alloc();
            pane.Show(BreakLongLines(lineBreaker, decoder.Decode(reader.TakePending(), false)));
            lastShown = GetTickCount64();
            unshown = false;
        }
    }

    pane.Show(BreakLongLines(lineBreaker, decoder.Decode(reader.TakePending(), true)));
    if (stopped)
        AppendOutputText(AsWideString(StoppedLine()));
    if (const std::uint64_t leftOut = reader.LeftOut())
        AppendOutputText(AsWideString(LeftOutLine(leftOut)));
    return stopped ? CommandOutcome::Stopped : CommandOutcome::Finished;
}

CommandOutcome RunWithPipe(const wchar_t* command, const RunFaults& faults)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, kPipeBufferBytes)) {
        ReportMessage(hOutput, IDS_PIPE_NOT_CREATED);
        return CommandOutcome::NotStarted;
    }
    ScopedHandle readHolder(readEnd);
    ScopedHandle writeHolder(writeEnd);
    if (!SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0)) {
        ReportMessage(hOutput, IDS_PIPE_NOT_SET);
        return CommandOutcome::NotStarted;
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION child{};

    std::wstring commandLine = AsWideString(InterpreterCommandLine(AsUtf16View(command, wcslen(command))));
    // Started suspended so that it is inside the job before it can start anything itself.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &child)) {
        ReportMessage(hOutput, IDS_PROCESS_NOT_STARTED, MessageDetail::Code(GetLastError()));
        return CommandOutcome::NotStarted;
    }
    ScopedHandle process(child.hProcess);
    ScopedHandle thread(child.hThread);
    ChildJob job(child.hProcess, child.dwProcessId, !faults.noJob);
    ResumeThread(child.hThread);
    // Only the child's copies of the write end remain, so the pipe ends when they close.
    writeHolder.reset();

    PipeReader reader(readEnd);
    if (!reader.Start()) {
        // No way to watch the output: end the command rather than wait blind.
        job.Stop();
        ReportMessage(hOutput, IDS_PIPE_NOT_CREATED);
        return CommandOutcome::NotStarted;
    }
    try {
        return ShowOutputUntilItEnds(reader, job, faults);
    } catch (...) {
        // The reader waits for the end of the output as it goes, which a program left running
        // may never give.
        job.Stop();
        throw;
    }
}

}  // namespace

bool CommandIsRunning()
{
    return commandRunning;
}

CommandOutcome RunCommandAndRedirect(const wchar_t* command, const RunFaults& faults)
{
    if (commandRunning)
        return CommandOutcome::NotStarted;
    commandRunning = true;
    CommandOutcome outcome = CommandOutcome::NotStarted;
    try {
        outcome = RunWithPipe(command, faults);
    } catch (const std::bad_alloc&) {
        ReportMessage(hOutput, IDS_OUT_OF_MEMORY);
    }
    commandRunning = false;
    return outcome;
}
