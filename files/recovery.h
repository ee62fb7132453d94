#pragma once
// Nothing unsaved is lost to a crash, a kill or a power cut: while the editor's text has
// unsaved changes, a copy of it is written a few seconds after typing stops into the user's
// %LOCALAPPDATA%\Skoczek, one file per running editor. A save or a clean close removes it; a copy
// left by a session that did not end is offered back at the next start.

#include <windows.h>

#include <string>

// How long the text must rest before its copy is written.
constexpr UINT kRecoveryDelayMs = 2000;

// The folder of the copies; empty when the user has no local application data folder.
std::wstring RecoveryFolder();
// This session's copy, which exists only while it holds unsaved text.
std::wstring RecoveryCopyPath();

// The editor's text changed: the copy is written (or removed) once it rests.
void NoteEditorTextChanged();
// Writes the copy at once when the text has unsaved changes, removes it otherwise.
void WriteRecoveryCopyNow();
// The text is on disk, or the editor closes as asked: no copy is needed.
void DiscardRecoveryCopy();

// At start: offers each copy left by an ended session, newest first, in a box owned by
// `owner`. Yes loads it as unsaved text under its file's name (the file is not touched) and
// ends the offers; No keeps it for one more start, after which it goes.
void OfferRecoveredText(HWND owner);
