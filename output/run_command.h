#pragma once
// Running one command through the command interpreter with its output in the output pane.

#include <windows.h>

enum class CommandOutcome {
    Finished,    // the command's output ended
    Stopped,     // Escape ended it and everything it started
    NotStarted,  // a failure was reported in a box, or another command was running
};

// Where a test makes running a command go wrong, as an older system or a lack of memory would.
struct RunFaults {
    bool noJob = false;             // no job object can be had for the command
    bool failWhileShowing = false;  // building the pane's text runs out of memory
};

// Runs "cmd.exe /c " plus command in the current directory, shows what it prints to
// standard output and standard error, and returns when the output ends or Escape was
// pressed. Meanwhile the window repaints but takes no other input.
CommandOutcome RunCommandAndRedirect(const wchar_t* command, const RunFaults& faults = {});

// True while a command runs; the command bar starts nothing else meanwhile.
bool CommandIsRunning();
