#pragma once

#include <windows.h>

void get_current_directory();

// Everything before the message loop: class, main window, layout, first show.
// Returns false when the class or the window cannot be made.
bool StartApplication(HINSTANCE instance);

void RunMessageLoop();
