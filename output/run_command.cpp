#include "output/run_command.h"

#include <algorithm>
#include <new>
#include <string>

#include "output/child_job.h"
#include "output/command_input.h"
#include "output/command_line.h"
#include "output/console_pane.h"
#include "output/output_pane.h"
#include "output/output_stream.h"
#include "output/pipe_threads.h"
#include "resources/resource_ids.h"
#include "text/wide.h"
#include "win32/holders.h"
#include "win32/messages.h"
#include "win32/process_state.h"

namespace {

// A large pipe, so that a program printing a flood waits less for the reads.
constexpr DWORD kPipeBufferBytes = 1024 * 1024;
// Each update of a visible edit control costs the same whatever it adds, so the pane is
// updated at most this often while output streams in.
constexpr ULONGLONG kPaneUpdateInterval = 100;
// Without a job, how often the processes a command started are looked for.
constexpr DWORD kTreeWatchInterval = 200;
// After a stop, how long the output may take to end before the window stops waiting for it:
// a process that nothing could end may hold the pipe open for ever.
constexpr ULONGLONG kStoppedOutputWait = 3000;

bool commandRunning = false;

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
    ULONGLONG stoppedAt = 0;
    bool leftRunning = false;
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
        // After a stop, the wait for the output's end is watched too.
        DWORD timeout = job.HasJob() && !stopped ? INFINITE : kTreeWatchInterval;
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
        // The characters typed go to the input line at the end of the pane.
        const bool escape = TakeInputWatchingForEscape([&console](const MSG& message) {
            if (message.message == WM_CHAR)
                console.Key(static_cast<wchar_t>(message.wParam));
        });
        // Escape stops again whatever a first stop could not reach.
        if (escape) {
            job.Stop();
            if (!stopped)
                stoppedAt = GetTickCount64();
            stopped = true;
        }
        if (stopped && !outputEnded && GetTickCount64() - stoppedAt >= kStoppedOutputWait) {
            leftRunning = !reader.EndWithin(0);
            outputEnded = true;
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
        if (leftRunning)
            console.Show(AsWideString(LeftRunningLine()));
        return CommandOutcome::Stopped;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    console.ShowLine(AsWideString(FinishedLine(exitCode, endedAt - startedAt)));
    return CommandOutcome::Finished;
}

// A pipe whose one end the child inherits; `childReads` says which. Returns 0, or the message
// saying which step failed.
UINT CreateChildPipe(ScopedHandle& readEnd, ScopedHandle& writeEnd, bool childReads, DWORD size, bool failSetting)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, size))
        return IDS_PIPE_NOT_CREATED;
    readEnd.reset(read);
    writeEnd.reset(write);
    if (failSetting || !SetHandleInformation(childReads ? write : read, HANDLE_FLAG_INHERIT, 0))
        return IDS_PIPE_NOT_SET;
    return 0;
}

CommandOutcome RunWithPipe(const wchar_t* command, const RunFaults& faults, FirstOutput first)
{
    ScopedHandle readEnd;
    ScopedHandle writeEnd;
    ScopedHandle inputReadEnd;
    ScopedHandle inputWriteEnd;
    UINT failed = CreateChildPipe(readEnd, writeEnd, false, kPipeBufferBytes, faults.outputPipeNotSet);
    if (!failed)
        failed = CreateChildPipe(inputReadEnd, inputWriteEnd, true, 0, faults.inputPipeNotSet);
    if (failed) {
        ReportMessage(hOutput, failed);
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
        // The output's end is waited for only so long: what the walk never saw may hold it.
        job.Stop();
        if (!reader.EndWithin(static_cast<DWORD>(kStoppedOutputWait))) {
            try {
                AppendOutputText(L"\r\n" + AsWideString(LeftRunningLine()));
            } catch (const std::bad_alloc&) {
                // The box still says why the command ended.
            }
        }
        throw;
    }
}

}  // namespace

bool CommandIsRunning()
{
    return commandRunning;
}

RunningCommand::RunningCommand()
{
    commandRunning = true;
}

RunningCommand::~RunningCommand()
{
    commandRunning = false;
}

CommandOutcome RunCommandAndRedirect(const wchar_t* command, const RunFaults& faults, FirstOutput first)
{
    if (commandRunning)
        return CommandOutcome::NotStarted;
    const RunningCommand running;
    CommandOutcome outcome = CommandOutcome::NotStarted;
    try {
        outcome = RunWithPipe(command, faults, first);
    } catch (const std::bad_alloc&) {
        ReportMessage(hOutput, IDS_OUT_OF_MEMORY);
    }
    return outcome;
}
