#pragma once
// The two threads a running command's pipes need, so that the window's thread can watch for
// Escape and repaint while the command is quiet or a write waits for it to read.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "output/output_stream.h"
#include "win32/holders.h"

// Reads the command's output pipe until it ends, keeping what the pane may show.
class PipeReader {
public:
    explicit PipeReader(HANDLE readEnd);
    // A read still waiting is cancelled.
    ~PipeReader();
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    bool Start();

    // Signalled once the output has ended.
    HANDLE Ended() const { return thread_.get(); }
    // Signalled when output has arrived since TakePending was last called.
    HANDLE Arrived() const { return arrived_.get(); }

    std::string TakePending();
    std::uint64_t LeftOut();

    // Waits at most that long for the end of the output, then stops reading: a process that
    // nothing could end may hold the pipe open for ever. True if the output had ended.
    bool EndWithin(DWORD milliseconds);

private:
    static DWORD WINAPI ReadUntilEnd(void* self);
    void ReadAll();

    HANDLE readEnd_;
    std::atomic<bool> stopping_{false};
    CRITICAL_SECTION lock_;
    CappedOutput output_;
    ScopedHandle arrived_;
    ScopedHandle thread_;
};

// Writes what the user sends to the command's standard input: a program that reads nothing
// fills the pipe, and a write then waits until it reads.
class InputWriter {
public:
    // Takes over the pipe's write end, which is closed once the input ends.
    explicit InputWriter(HANDLE writeEnd);
    ~InputWriter();
    InputWriter(const InputWriter&) = delete;
    InputWriter& operator=(const InputWriter&) = delete;

    bool Start();

    bool IsOpen() const { return thread_.valid() && !closing_; }

    void Send(const std::string& bytes);

    // What was sent before still goes; then the program reads the end of its input.
    void Close();

private:
    static DWORD WINAPI WriteUntilClosed(void* self);
    void WriteAll();

    HANDLE writeEnd_;
    CRITICAL_SECTION lock_;
    std::string queued_;
    bool closing_ = false;
    ScopedHandle ready_;
    ScopedHandle thread_;
};
