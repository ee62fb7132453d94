#pragma once
// Project files: the settings record's 1702-byte image, saved and loaded from the settings
// dialog, whose window handle each operation takes.

#include <windows.h>

// Writes the record to the current project file, asking for a name when there is none yet.
void save_project(HWND dialog);

// Asks for a name and writes the record there. A cancelled dialog forgets the project path.
// Always 0.
int save_project_as(HWND dialog);

// Asks for a project file and loads it: 1 loaded, 0 no file chosen, -1 the file could not be
// opened or did not hold a whole record (the record and the project path are then unchanged).
int open_project(HWND dialog);
