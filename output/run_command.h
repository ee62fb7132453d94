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
    bool outputPipeNotSet = false;  // the output pipe's handle cannot be kept from the child
    bool inputPipeNotSet = false;   // nor the input pipe's
};

// What the command's first output does to the pane's text.
enum class FirstOutput {
    Replaces,  // Run: the pane shows only this command
    Follows,   // Compile: "Kompilowanie" and the lines after it stay
};

// Runs "cmd.exe /c " plus command in the current directory, shows what it prints to
// standard output and standard error, and returns when the command has ended or Escape was
// pressed; a command that ended by itself leaves its exit code and time as the last line.
// Meanwhile the window repaints, and what is typed goes to the command's standard input
// through an input line at the end of the pane: Enter sends the line, Ctrl+V pastes, Ctrl+Z
// ends the input. Nothing else takes input.
CommandOutcome RunCommandAndRedirect(const wchar_t* command, const RunFaults& faults = {},
                                     FirstOutput first = FirstOutput::Replaces);

// True while a command runs; the command bar starts nothing else meanwhile.
bool CommandIsRunning();
