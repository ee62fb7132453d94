#pragma once
// Compile and Run, and the way back from a compiler's message to the source line.

#include <windows.h>

// Deletes the program the compile directive builds, then runs the directive.
void CompileProgram(HWND bar);

// Runs the program the compile directive builds.
void RunProgram(HWND bar);

// After a double-click in the output pane: when the line under the pane's caret is a
// compiler message with a line number, puts the editor's caret there. True if it did.
bool ShowSourceOfCompilerMessage(HWND pane);
