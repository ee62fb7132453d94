#include "output/child_job.h"

#include <tlhelp32.h>

#include <algorithm>
#include <new>

namespace {

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

}  // namespace

ChildJob::ChildJob(HANDLE process, DWORD processId, bool allowJob) : process_(process), tree_{processId}
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

void ChildJob::Watch()
{
    if (job_.valid())
        return;
    try {
        FindDescendants(tree_);
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
        ScopedHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, tree_[i]));
        if (process.valid())
            TerminateProcess(process.get(), 1);
    }
}
