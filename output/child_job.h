#pragma once
// Everything a command starts, so that Escape can end all of it.

#include <windows.h>

#include <vector>

#include "win32/holders.h"

// Everything the command starts lives in one job, ended together on Escape and whenever
// the command's output has ended, so nothing it started can hold the pipe open for ever.
// Where no job can be had, the processes the command started are found and ended one by one.
// Windows reuses process ids, so a parent id alone proves nothing: a process is taken as the
// command's only when it was created after the command and after the parent it names.
class ChildJob {
public:
    // `process` must not have run yet (started suspended), so that all it starts is inside.
    ChildJob(HANDLE process, DWORD processId, bool allowJob);

    bool HasJob() const { return job_.valid(); }

    // Without a job, notes what the command has started so far: a process that starts another
    // and ends leaves only this record of whose the other one is.
    void Watch();

    // Safe to call again: each call ends whatever of the command is still running.
    void Stop();

private:
    // One process of the command, known by its id and when it was created, which together
    // tell it from a later process given the same id.
    struct Started {
        DWORD id;
        ULONGLONG createdAt;
    };

    void FindDescendants();

    HANDLE process_;
    std::vector<Started> tree_;  // the interpreter first, then what it started
    ScopedHandle job_;
};
