#pragma once
// The two dialogs of the program (settings, search/replace) open without an owner, so the
// main window stays usable while they run.

#include <windows.h>

// Runs the dialog from template `templateId` modally and returns its result. When it cannot be
// created, says so in an "Error" box with the system's error code and returns -1.
INT_PTR OpenModalDialog(int templateId, DLGPROC procedure);
