#pragma once
// The record the common open and save dialogs take, for text files and project files alike.

#include <windows.h>
#include <commdlg.h>

struct FileDialogRequest {
    HWND owner = nullptr;
    wchar_t* buffer = nullptr;  // starts empty, receives the chosen path
    DWORD capacity = 0;         // in characters
    const wchar_t* filter = nullptr;
    DWORD flags = 0;
    const wchar_t* defaultExtension = nullptr;
    const wchar_t* title = nullptr;  // null: the system's own
};

// Every field not in the request stays zero; the first filter pair is preselected.
OPENFILENAMEW FileDialogRecord(const FileDialogRequest& request);
