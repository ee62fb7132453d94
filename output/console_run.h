#pragma once
// Running the built program in a console of its own inside the output pane, so that it
// behaves as in a console window: its prompts show before it reads, single keys reach it,
// and cls clears.

#include "output/run_command.h"

// Where a test makes the console unavailable, as on a system before Windows 10 1809.
struct ConsoleFaults {
    bool noPseudoConsole = false;
};

// Runs "cmd.exe /c " plus command in a pseudoconsole the size of the pane, through the
// launcher beside the editor, and shows the console's screen in the pane: what scrolls off
// stays above it. The pane is emptied at once. Keys go to the console as they are pressed
// (Enter, Backspace, Ctrl+Z, Ctrl+V, arrows); Escape ends the program and everything it
// started. Where no pseudoconsole can be had, the command runs through pipes, and one line of
// the pane says so.
CommandOutcome RunInConsole(const wchar_t* command, const ConsoleFaults& faults = {});

// The launcher's file name, beside the editor's.
inline constexpr wchar_t kConsoleLauncherName[] = L"skoczek_console.exe";
