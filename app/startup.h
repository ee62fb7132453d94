#pragma once

#include <windows.h>

void get_current_directory();

// Everything before the message loop: class, main window, layout, first show.
// Returns false when the class or the window cannot be made.
bool StartApplication(HINSTANCE instance);

// The text the editor starts with: the source file the compile directive names, when the start
// folder holds it; then any copy of unsaved text an ended session left, offered back.
void OpenStartText();

void RunMessageLoop();
