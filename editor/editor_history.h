#pragma once
// The editor's history of changes. Every change reaches the edit control through the editor's
// procedure, which hands it here on its way to the control; what one key or one command changes
// becomes one step. Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo.

#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

#include "editor/edit_history.h"

// The control's own procedure, through which the history changes the text without recording.
void AttachEditorHistory(HWND edit, WNDPROC controlProc);

// Passes a message on to the control, recording the change it makes to the text. Undo, redo and
// the control's own undo messages are answered from the history instead.
LRESULT PassOnRecorded(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

// Everything changed while the outermost of these lives is one step, its selection before and
// after being the ones at its opening and closing. The editor's procedure opens one for every
// message; a command opens one around its change.
class EditorStep {
public:
    explicit EditorStep(HWND edit, UINT message = 0, WPARAM wParam = 0);
    ~EditorStep();
    EditorStep(const EditorStep&) = delete;
    EditorStep& operator=(const EditorStep&) = delete;

private:
    HWND edit_;
    UINT message_;
    bool gathers_;
};

// Take back or make again the last step; false when there is none.
bool UndoEditorChange(HWND edit);
bool RedoEditorChange(HWND edit);

// Sets the editor's whole text as one step, the replace-all `replaced` that turns its text into
// `text`; the caret goes to the start, as with any new text of the control. Without the step (no
// memory for it) the text is set all the same and the history emptied.
void SetEditorTextAsStep(HWND edit, std::u16string_view text, std::optional<ReplacedOccurrences> replaced);

// For tests and the benchmark: the history itself, and whether recording is on.
EditHistory& EditorHistory();
void SetEditorHistoryEnabled(bool enabled);
