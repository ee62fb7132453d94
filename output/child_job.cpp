#include "output/child_job.h"

#include <tlhelp32.h>

#include <algorithm>
#include <new>

namespace {

// When the process was created, in FILETIME units; 0 when it cannot be told.
ULONGLONG CreatedAt(HANDLE process)
{
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (ULONGLONG{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

// When the process that now has this id was created; 0 when it has none or cannot be opened.
ULONGLONG CreatedAt(DWORD id)
{
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    return process.valid() ? CreatedAt(process.get()) : 0;
}

}  // namespace

ChildJob::ChildJob(HANDLE process, DWORD processId, bool allowJob) : process_(process)
{
    // The interpreter has not run yet, so nothing of the command is older than this.
    ULONGLONG startedAt = CreatedAt(process);
    if (startedAt == 0) {
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        startedAt = (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    }
    tree_.push_back({processId, startedAt});
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

// The processes the command started, and those that they started, found by their parents'
// ids. A process keeps its parent's id after the parent has ended, so a later walk still finds
// what an ended one left running; but the id may by then belong to another process, and the
// creation times tell whose child a process is.
void ChildJob::FindDescendants()
{
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return;
    std::vector<PROCESSENTRY32W> processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        processes.push_back(entry);
    // Looked up only for the processes that matter, once per walk.
    constexpr ULONGLONG kNotLookedUp = ~ULONGLONG{0};
    std::vector<ULONGLONG> createdAt(processes.size(), kNotLookedUp);
    const auto created = [&](std::size_t i) {
        if (createdAt[i] == kNotLookedUp)
            createdAt[i] = CreatedAt(processes[i].th32ProcessID);
        return createdAt[i];
    };
    // A known process whose id now belongs to a process created later has ended before that
    // one was created.
    const auto endedBefore = [&](const Started& known) {
        for (std::size_t i = 0; i < processes.size(); ++i) {
            if (processes[i].th32ProcessID == known.id && created(i) != 0 && created(i) != known.createdAt)
                return created(i);
        }
        return kNotLookedUp;
    };
    const ULONGLONG commandStarted = tree_.front().createdAt;
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = 0; i < processes.size(); ++i) {
            const DWORD id = processes[i].th32ProcessID;
            const DWORD parentId = processes[i].th32ParentProcessID;
            const auto hasParentsId = [parentId](const Started& known) { return known.id == parentId; };
            if (id == 0 || std::none_of(tree_.begin(), tree_.end(), hasParentsId))
                continue;
            const ULONGLONG at = created(i);
            // Older than the command, or not to be told apart: never the command's.
            if (at == 0 || at < commandStarted)
                continue;
            const auto isThis = [id, at](const Started& known) { return known.id == id && known.createdAt == at; };
            const auto isParent = [&](const Started& known) {
                return known.id == parentId && known.createdAt <= at && at < endedBefore(known);
            };
            if (std::any_of(tree_.begin(), tree_.end(), isThis) || std::none_of(tree_.begin(), tree_.end(), isParent))
                continue;
            tree_.push_back({id, at});
            grew = true;
        }
    }
}

void ChildJob::Watch()
{
    if (job_.valid())
        return;
    try {
        FindDescendants();
    } catch (const std::bad_alloc&) {
        // What was found before is still ended on Escape.
    }
}

void ChildJob::Stop()
{
    if (job_.valid()) {
        TerminateJobObject(job_.get(), 1);
        return;
    }
    Watch();
    TerminateProcess(process_, 1);
    for (std::size_t i = 1; i < tree_.size(); ++i) {
        ScopedHandle process(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, tree_[i].id));
        // An ended process's id may have gone to another.
        if (process.valid() && CreatedAt(process.get()) == tree_[i].createdAt)
            TerminateProcess(process.get(), 1);
    }
}
