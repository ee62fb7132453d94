#include "output/run_command.h"

#include <tlhelp32.h>

#include <algorithm>
#include <new>
#include <optional>
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
#include "win32/window_ops.h"

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

// Decodes the output line by line, each line from UTF-8 or from the OEM code page as its
// bytes say; a character split between two reads is held back until its last byte arrives.
class OutputDecoder {
public:
    OutputDecoder() : decider_(OemShape()) {}

    // At the end of the output, whatever is held back is decoded as it stands.
    std::wstring Decode(const std::string& bytes, bool atEnd)
    {
        std::wstring text;
        for (const OutputPiece& piece : decider_.Take(bytes, atEnd)) {
            const UINT codePage = piece.encoding == PieceEncoding::Utf8 ? CP_UTF8 : codePage_;
            const std::size_t start = text.size();
            text.resize(start + piece.bytes.size());
            const int length = MultiByteToWideChar(codePage, 0, piece.bytes.data(), static_cast<int>(piece.bytes.size()),
                                                   text.data() + start, static_cast<int>(piece.bytes.size()));
            text.resize(start + static_cast<std::size_t>(length > 0 ? length : 0));
        }
        return text;
    }

private:
    ByteCharacterShape OemShape()
    {
        ByteCharacterShape shape;
        CPINFOEXW info{};
        if (!GetCPInfoExW(CP_OEMCP, 0, &info))
            return shape;
        codePage_ = info.CodePage;
        if (info.CodePage == CP_UTF8) {
            shape.kind = ByteCharacterShape::Kind::Utf8;
        } else if (info.MaxCharSize > 1) {
            shape.kind = ByteCharacterShape::Kind::LeadBytes;
            for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2) {
                for (int byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte)
                    shape.isLeadByte[byte] = true;
            }
        }
        return shape;
    }

    UINT codePage_ = CP_OEMCP;
    LineDecider decider_;
};

// Writes what the user sends to the command's standard input on a thread of its own: a
// program that reads nothing fills the pipe, and a write then waits until it reads.
class InputWriter {
public:
    explicit InputWriter(HANDLE writeEnd) : writeEnd_(writeEnd) { InitializeCriticalSection(&lock_); }
    ~InputWriter()
    {
        Close();
        if (thread_.valid()) {
            // A write still waiting for a reader that will never read is cancelled.
            while (WaitForSingleObject(thread_.get(), 50) == WAIT_TIMEOUT)
                CancelSynchronousIo(thread_.get());
        } else if (writeEnd_) {
            CloseHandle(writeEnd_);
        }
        DeleteCriticalSection(&lock_);
    }
    InputWriter(const InputWriter&) = delete;
    InputWriter& operator=(const InputWriter&) = delete;

    bool Start()
    {
        ready_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (ready_.valid())
            thread_.reset(CreateThread(nullptr, 0, WriteUntilClosed, this, 0, nullptr));
        return thread_.valid();
    }

    bool IsOpen() const { return thread_.valid() && !closing_; }

    void Send(const std::string& bytes)
    {
        EnterCriticalSection(&lock_);
        queued_ += bytes;
        LeaveCriticalSection(&lock_);
        SetEvent(ready_.get());
    }

    // What was sent before still goes; then the program reads the end of its input.
    void Close()
    {
        EnterCriticalSection(&lock_);
        closing_ = true;
        LeaveCriticalSection(&lock_);
        if (ready_.valid())
            SetEvent(ready_.get());
    }

private:
    static DWORD WINAPI WriteUntilClosed(void* self)
    {
        static_cast<InputWriter*>(self)->WriteAll();
        return 0;
    }

    void WriteAll()
    {
        bool broken = false;
        for (bool closing = false; !closing;) {
            WaitForSingleObject(ready_.get(), INFINITE);
            std::string bytes;
            EnterCriticalSection(&lock_);
            bytes.swap(queued_);
            closing = closing_;
            LeaveCriticalSection(&lock_);
            for (std::size_t at = 0; !broken && at < bytes.size();) {
                DWORD written = 0;
                // A program that has ended or closed its input takes nothing more.
                broken = !WriteFile(writeEnd_, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &written, nullptr);
                at += written;
            }
        }
        CloseHandle(writeEnd_);
        writeEnd_ = nullptr;
    }

    HANDLE writeEnd_;
    CRITICAL_SECTION lock_;
    std::string queued_;
    bool closing_ = false;
    ScopedHandle ready_;
    ScopedHandle thread_;
};

// The pane while a command runs: its output, and after it the line the user is typing.
// Output arriving meanwhile goes before that line, so the line stays whole at the end.
class ConsolePane {
public:
    ConsolePane(FirstOutput first, InputWriter& input) : input_(input)
    {
        if (first == FirstOutput::Follows) {
            shownAny_ = true;
            const std::optional<std::wstring> earlier = TakeWindowText(hOutput);
            // "Kompilowanie" has no line break after it.
            needsBreak_ = earlier && !earlier->empty() && earlier->back() != L'\n';
        }
    }

    void Show(std::wstring text)
    {
        if (text.empty())
            return;
        if (needsBreak_) {
            text = L"\r\n" + text;
            needsBreak_ = false;
        }
        if (!shownAny_) {
            SetOutputText(text + typed_);
            shownAny_ = true;
        } else if (typed_.empty()) {
            AppendOutputText(text);
        } else {
            ReplaceOutputEnd(TypedStart(), text + typed_);
        }
        atLineStart_ = text.back() == L'\n';
    }

    // Once the command has ended, a line typed but not sent stays as it is, and the closing
    // lines follow it.
    void EndInput()
    {
        if (!typed_.empty())
            atLineStart_ = false;
        typed_.clear();
    }

    // A closing line, on a line of its own.
    void ShowLine(const std::wstring& line) { Show(atLineStart_ || needsBreak_ || !shownAny_ ? line : L"\r\n" + line); }

    // A character the keyboard made while the command runs.
    void Key(wchar_t c)
    {
        if (!input_.IsOpen())
            return;
        switch (c) {
        case 0x08:  // Backspace
            if (!typed_.empty()) {
                const std::size_t cut = typed_.size() >= 2 && IS_LOW_SURROGATE(typed_.back()) ? 2 : 1;
                const std::size_t start = TypedStart();
                typed_.erase(typed_.end() - static_cast<std::ptrdiff_t>(cut), typed_.end());
                ReplaceOutputEnd(start, typed_);
            }
            return;
        case 0x16:  // Ctrl+V
            Paste();
            return;
        case 0x1A:  // Ctrl+Z: what is typed goes without a line break, then the input ends
            Type(L"^Z\r\n", false);
            return;
        default:
            if (c == L'\r' || c >= L' ')
                Type(std::wstring(1, c), true);
            return;
        }
    }

private:
    std::size_t TypedStart() const
    {
        const auto length = static_cast<std::size_t>(GetWindowTextLengthW(hOutput));
        return length >= typed_.size() ? length - typed_.size() : 0;
    }

    // Adds the text to the input line; every line break sends the line so far, with CR LF.
    // Without `open` the text ends the input instead.
    void Type(std::wstring_view text, bool open)
    {
        if (!shownAny_) {
            SetOutputText(L"");
            shownAny_ = true;
            atLineStart_ = true;
        }
        std::wstring echo;
        if (needsBreak_) {
            echo = L"\r\n";
            needsBreak_ = false;
        }
        for (std::size_t i = 0; i < text.size() && open; ++i) {
            const wchar_t c = text[i];
            if (c == L'\r' || c == L'\n') {
                if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                    ++i;
                input_.Send(InOemCodePage(typed_ + L"\r\n"));
                typed_.clear();
                echo += L"\r\n";
                atLineStart_ = true;
            } else if (c >= L' ' || c == L'\t') {
                typed_ += c;
                echo += c;
            }
        }
        if (!open) {
            input_.Send(InOemCodePage(typed_));
            input_.Close();
            typed_.clear();
            echo += text;
            atLineStart_ = true;
        }
        AppendOutputText(echo);
    }

    void Paste()
    {
        if (!OpenClipboard(hOutput))
            return;
        std::wstring text;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = locked;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        Type(text, true);
    }

    // A console gives a program its input in the OEM code page.
    static std::string InOemCodePage(const std::wstring& text)
    {
        if (text.empty())
            return {};
        std::string bytes(text.size() * 4, '\0');
        const int length = WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                               static_cast<int>(bytes.size()), nullptr, nullptr);
        bytes.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        return bytes;
    }

    InputWriter& input_;
    bool shownAny_ = false;
    bool atLineStart_ = true;
    bool needsBreak_ = false;  // the text before the command's ends inside a line
    std::wstring typed_;  // the input line, shown at the end of the pane
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
// clicked while a command runs reaches a window; the characters typed go to the console's
// input line. True when Escape was pressed.
bool TakeInputWatchingForEscape(ConsolePane& console)
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
            else if (message.message == WM_KEYDOWN)
                TranslateMessage(&message);  // its character is the next message taken here
            else if (message.message == WM_CHAR)
                console.Key(static_cast<wchar_t>(message.wParam));
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

CommandOutcome ShowOutputUntilItEnds(PipeReader& reader, HANDLE process, ChildJob& job, InputWriter& input,
                                     FirstOutput first, ULONGLONG startedAt, const RunFaults& faults)
{
    OutputDecoder decoder;
    LongLineBreaker lineBreaker;
    ConsolePane console(first, input);
    bool stopped = false;
    bool unshown = false;
    bool outputEnded = false;
    bool processEnded = false;
    ULONGLONG lastShown = 0;

    // The command has ended when its output has and the interpreter has: a program may close
    // its output and still read its input.
    while (!outputEnded || !processEnded) {
        HANDLE waits[3];
        DWORD count = 0;
        if (!outputEnded)
            waits[count++] = reader.Ended();
        if (!processEnded)
            waits[count++] = process;
        // Once output waits to be shown, more of it changes nothing until the next update, so
        // a flood wakes this thread once per update, not once per read.
        if (!unshown && !outputEnded)
            waits[count++] = reader.Arrived();
        DWORD timeout = job.HasJob() ? INFINITE : kTreeWatchInterval;
        if (unshown) {
            const ULONGLONG since = GetTickCount64() - lastShown;
            timeout = std::min<DWORD>(timeout, since >= kPaneUpdateInterval ? 0 : static_cast<DWORD>(kPaneUpdateInterval - since));
        }
        // Input already in the queue wakes the wait too: every peek marks what is queued as
        // seen, so an Escape that arrives just before one would otherwise sleep until the next key.
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(count, waits, timeout, QS_KEY | QS_MOUSEBUTTON | QS_PAINT | QS_SENDMESSAGE,
                                        MWMO_INPUTAVAILABLE);
        if (woke < WAIT_OBJECT_0 + count) {
            const HANDLE signalled = waits[woke - WAIT_OBJECT_0];
            if (signalled == reader.Ended())
                outputEnded = true;
            else if (signalled == process)
                processEnded = true;
            else
                unshown = true;
        }
        job.Watch();

        // Looked at on every turn: a flood of output must not starve the keyboard. Every
        // Escape stops again whatever a first stop could not reach.
        if (TakeInputWatchingForEscape(console)) {
            job.Stop();
            stopped = true;
        }
        RepaintWhileWaiting();

        if ((unshown || outputEnded) && GetTickCount64() - lastShown >= kPaneUpdateInterval) {
            if (faults.failWhileShowing)
                throw std::bad_alloc();
            // A prompt that waits for input is shown whole, though its line has not ended.
            console.Show(BreakLongLines(lineBreaker, decoder.Decode(reader.TakePending(), outputEnded)));
            lastShown = GetTickCount64();
            unshown = false;
        }
    }
    const ULONGLONG endedAt = GetTickCount64();

    console.Show(BreakLongLines(lineBreaker, decoder.Decode(reader.TakePending(), true)));
    console.EndInput();
    if (const std::uint64_t leftOut = reader.LeftOut())
        console.Show(AsWideString(LeftOutLine(leftOut)));
    if (stopped) {
        console.Show(AsWideString(StoppedLine()));
        return CommandOutcome::Stopped;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    console.ShowLine(AsWideString(FinishedLine(exitCode, endedAt - startedAt)));
    return CommandOutcome::Finished;
}

// A pipe whose one end the child inherits; `childReads` says which.
bool CreateChildPipe(ScopedHandle& readEnd, ScopedHandle& writeEnd, bool childReads, DWORD size)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, size))
        return false;
    readEnd.reset(read);
    writeEnd.reset(write);
    return SetHandleInformation(childReads ? write : read, HANDLE_FLAG_INHERIT, 0) != 0;
}

CommandOutcome RunWithPipe(const wchar_t* command, const RunFaults& faults, FirstOutput first)
{
    ScopedHandle readEnd;
    ScopedHandle writeEnd;
    ScopedHandle inputReadEnd;
    ScopedHandle inputWriteEnd;
    if (!CreateChildPipe(readEnd, writeEnd, false, kPipeBufferBytes) ||
        !CreateChildPipe(inputReadEnd, inputWriteEnd, true, 0)) {
        ReportMessage(hOutput, readEnd.valid() && inputReadEnd.valid() ? IDS_PIPE_NOT_SET : IDS_PIPE_NOT_CREATED);
        return CommandOutcome::NotStarted;
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = inputReadEnd.get();
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION child{};

    std::wstring commandLine = AsWideString(InterpreterCommandLine(AsUtf16View(command, wcslen(command))));
    const ULONGLONG startedAt = GetTickCount64();
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
    // Only the child's copies remain, so the output ends when they close, and the input
    // reaches its end when the writer closes its end.
    writeEnd.reset();
    inputReadEnd.reset();

    // Without a writer the program reads the end of its input at once.
    InputWriter input(inputWriteEnd.release());
    input.Start();
    PipeReader reader(readEnd.get());
    if (!reader.Start()) {
        // No way to watch the output: end the command rather than wait blind.
        job.Stop();
        ReportMessage(hOutput, IDS_PIPE_NOT_CREATED);
        return CommandOutcome::NotStarted;
    }
    try {
        return ShowOutputUntilItEnds(reader, child.hProcess, job, input, first, startedAt, faults);
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

CommandOutcome RunCommandAndRedirect(const wchar_t* command, const RunFaults& faults, FirstOutput first)
{
    if (commandRunning)
        return CommandOutcome::NotStarted;
    commandRunning = true;
    CommandOutcome outcome = CommandOutcome::NotStarted;
    try {
        outcome = RunWithPipe(command, faults, first);
    } catch (const std::bad_alloc&) {
        ReportMessage(hOutput, IDS_OUT_OF_MEMORY);
    }
    commandRunning = false;
    return outcome;
}
