#pragma once
// Dialogs: the program's own modal dialogs, and the common file, font and colour dialogs. The
// common dialogs' DLL, and the several DLLs it brings along, are loaded when the user first
// opens one of them rather than at start-up, where loading them was a good part of the wait
// before the window could be used.

#include <windows.h>
#include <commdlg.h>

// Runs the dialog from template `templateId` modally, without an owner so the main window stays
// usable, and returns its result. When it cannot be created, says so in an "Error" box with the
// system's error code and returns -1.
INT_PTR OpenModalDialog(int templateId, DLGPROC procedure);

// Each behaves as the system function of the same purpose (GetOpenFileNameW, GetSaveFileNameW,
// ChooseFontW, ChooseColorW). When the dialogs cannot be loaded, an "Error" box owned by the
// record's owner says so and the result is FALSE, as if the user had cancelled.
BOOL ShowOpenFileDialog(OPENFILENAMEW* record);
BOOL ShowSaveFileDialog(OPENFILENAMEW* record);
BOOL ShowFontDialog(CHOOSEFONTW* chooser);
BOOL ShowColorDialog(CHOOSECOLORW* chooser);

// The function `name` of the system DLL `dll`, loading the DLL at the first call; it then stays
// loaded. Null, after the "Error" box, when the DLL or the function is missing.
FARPROC FindDialogFunction(HWND owner, const wchar_t* dll, const char* name);

// The record the common open and save dialogs take, for text files and project files alike.
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
