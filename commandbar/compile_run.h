#pragma once
// Compile and Run: the command texts built from the compile directive, run in the output pane.

#include <windows.h>

// Deletes the program the compile directive builds, then runs the directive.
void CompileProgram(HWND bar);

// Runs the program the compile directive builds.
void RunProgram(HWND bar);
