#pragma once
// The settings dialog: the compile directive, the editor's colours and font, the jump
// captions, and the project-file buttons.

#include <windows.h>

#include <optional>

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog until it is closed; the command bar's Options button.
void OpenSettingsDialog();

// Fills the dialog's controls as it opens.
void setData(HWND dialog);

// The dark font on the dialog's controls and on both bars, and the record's directive in
// the directive edit.
void updateDialog(HWND dialog);

// Stores the label edit's text as the chosen jump's caption and shows it on the jump button.
void setJumper(HWND dialog);

// Shows the chosen jump's caption in the label edit.
void updateJumper(HWND dialog);

// Lets the user choose the editor font and applies it.
void ChooseFontForWindow(HWND dialog);

// The colour the user chose, starting from `current`, or nothing when the chooser was cancelled.
std::optional<COLORREF> ChooseColorDialog(HWND dialog, COLORREF current);

// Copies the directive edit's text into the record, cut to the field's width.
void StoreDirective(HWND dialog);

// The project-file buttons. Save project writes the record to the current project file, asking
// for a name when there is none yet.
void save_project(HWND dialog);

// Asks for a name and writes the record there. A cancelled dialog forgets the project path.
// Always 0.
int save_project_as(HWND dialog);

// Asks for a project file and loads it: 1 loaded, 0 no file chosen, -1 the file could not be
// opened or did not hold a whole record (the record and the project path are then unchanged).
int open_project(HWND dialog);
