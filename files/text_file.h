#pragma once
// The source text on disk: choosing, loading and saving it.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

constexpr int kFileDialogCapacity = 260;

// Lets the user choose a file and makes its text the editor's. The owner owns the dialog
// and any message box; the editor has the keyboard afterwards.
void OpenFileAndLoadToEdit(HWND edit, HWND owner);

// Makes the file's text the editor's, with its line ends as CR LF, and notes which line ends it
// had for the next save; false when it could not be read, which is reported in a box owned by
// `owner`. The current file and the title are the caller's to change.
bool LoadTextFileToEdit(HWND edit, HWND owner, const wchar_t* path);

// Asks for a file name to save under. True when the user chose one, which is then in
// `destination` and the title; a cancelled dialog leaves both as they were.
bool SaveFileDialog(wchar_t* destination, unsigned long long capacity, HWND owner);

// Writes the text as UTF-8 without a mark. True only when every byte is on disk; on failure the
// file keeps what it held before.
bool SaveTextToFile(const wchar_t* path, const wchar_t* text);

// The editor's save: ask for a name when `askForName` (or when there is no current file),
// then write the editor's text to `current_file`. A failed write is reported. True when the
// text is on disk, which marks it unchanged. The editor has the keyboard afterwards.
bool SaveEditorText(bool askForName);

// Before the editor's text is replaced or the window closes: when the text has changed since
// it was loaded or saved, asks in a box owned by `owner` whether to save it. True when the
// caller may go on: nothing changed, the user said No, or the save succeeded.
bool KeepChangesBeforeLeaving(HWND owner);

enum class DecodeOutcome { Decoded, OutOfMemory, NotConvertible };

// A text file's bytes as the editor's text (UTF-16, as the system's wide strings).
DecodeOutcome DecodeTextFileBytes(std::span<const std::uint8_t> bytes, std::u16string& text);
