#include "output/pipe_threads.h"

#include <new>

namespace {

// Large reads from a large pipe: under Wine each read costs about the same whatever its size,
// so a flood of output drains several times faster than in 4 KiB steps.
constexpr DWORD kReadBlockBytes = 64 * 1024;

}  // namespace

PipeReader::PipeReader(HANDLE readEnd) : readEnd_(readEnd)
{
    InitializeCriticalSection(&lock_);
}

PipeReader::~PipeReader()
{
    EndWithin(0);
    DeleteCriticalSection(&lock_);
}

bool PipeReader::EndWithin(DWORD milliseconds)
{
    if (!thread_.valid() || WaitForSingleObject(thread_.get(), milliseconds) == WAIT_OBJECT_0)
        return true;
    stopping_ = true;
    // Again and again: a cancel that comes between two reads finds nothing to cancel.
    while (WaitForSingleObject(thread_.get(), 50) == WAIT_TIMEOUT)
        CancelSynchronousIo(thread_.get());
    return false;
}

bool PipeReader::Start()
{
    arrived_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!arrived_.valid())
        return false;
    thread_.reset(CreateThread(nullptr, 0, ReadUntilEnd, this, 0, nullptr));
    return thread_.valid();
}

std::string PipeReader::TakePending()
{
    EnterCriticalSection(&lock_);
    std::string taken = output_.TakePending();
    LeaveCriticalSection(&lock_);
    return taken;
}

std::uint64_t PipeReader::LeftOut()
{
    EnterCriticalSection(&lock_);
    const std::uint64_t leftOut = output_.LeftOut();
    LeaveCriticalSection(&lock_);
    return leftOut;
}

DWORD WINAPI PipeReader::ReadUntilEnd(void* self)
{
    static_cast<PipeReader*>(self)->ReadAll();
    return 0;
}

void PipeReader::ReadAll()
{
    char block[kReadBlockBytes];
    DWORD read = 0;
    while (!stopping_ && ReadFile(readEnd_, block, kReadBlockBytes, &read, nullptr) && read > 0) {
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

InputWriter::InputWriter(HANDLE writeEnd) : writeEnd_(writeEnd)
{
    InitializeCriticalSection(&lock_);
}

InputWriter::~InputWriter()
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

bool InputWriter::Start()
{
    ready_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (ready_.valid())
        thread_.reset(CreateThread(nullptr, 0, WriteUntilClosed, this, 0, nullptr));
    return thread_.valid();
}

void InputWriter::Send(const std::string& bytes)
{
    EnterCriticalSection(&lock_);
    queued_ += bytes;
    LeaveCriticalSection(&lock_);
    SetEvent(ready_.get());
}

void InputWriter::Close()
{
    EnterCriticalSection(&lock_);
    closing_ = true;
    LeaveCriticalSection(&lock_);
    if (ready_.valid())
        SetEvent(ready_.get());
}

DWORD WINAPI InputWriter::WriteUntilClosed(void* self)
{
    static_cast<InputWriter*>(self)->WriteAll();
    return 0;
}

void InputWriter::WriteAll()
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
