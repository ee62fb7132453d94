#include "editor/editor_history.h"

#include <algorithm>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "text/wide.h"
#include "win32/edit_control_text.h"
#include "win32/messages.h"
#include "win32/window_ops.h"

namespace {

WNDPROC controlProc = nullptr;
EditHistory history;
bool enabled = true;

// The step being gathered by the outermost EditorStep.
int stepDepth = 0;
HistoryStep pending;
std::size_t recordedChanges = 0;  // grows with every change recorded, nested ones included
bool settingWholeText = false;    // the WM_SETTEXT under way is a recorded step's
TextSelection lastAfter;          // where the last recorded change left the selection

// A step of more changes than this is made or taken back by setting the whole text once.
constexpr std::size_t kChangesOneByOne = 8;
// Around an empty selection, Backspace and Delete take a character or a CR LF pair.
constexpr std::size_t kCaretReach = 2;

LRESULT Control(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(controlProc, edit, message, wParam, lParam);
}

TextSelection SelectionOf(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    Control(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// The history cannot hold a change: it is emptied, which the pane says, and the text stays.
void ForgetHistory()
{
    history.Clear(false);
    pending = {};
    AppendOutputText(L"\r\n" + MessageText(IDS_HISTORY_OUT_OF_MEMORY) + L"\r\n");
}

// Setting the whole text does not tell the parent the text changed, as typing does; what
// follows the text (its copy kept against a crash) must hear of it all the same.
void NotifyTextChanged(HWND edit)
{
    SendMessageW(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
}

// The unsaved mark follows the history: back at the saved text it is cleared.
void MarkFromHistory(HWND edit)
{
    Control(edit, EM_SETMODIFY, history.AtSavedPoint() ? FALSE : TRUE, 0);
}

void AddChange(TextChange change)
{
    ++recordedChanges;
    pending.changes.push_back(std::move(change));
}

// The kind of step a message of the editor's makes, which decides whether it joins a run.
ChangeKind KindOf(UINT message, WPARAM wParam)
{
    if (message == WM_CHAR) {
        if (wParam == 0x08)
            return ChangeKind::Backspace;
        if (wParam == L'\r' || wParam == L'\n' || (wParam == L' ' && (GetKeyState(VK_SHIFT) & 0x8000)))
            return ChangeKind::Other;
        return ChangeKind::Typing;
    }
    if (message == WM_KEYDOWN && wParam == VK_DELETE && !(GetKeyState(VK_SHIFT) & 0x8000))
        return ChangeKind::Delete;
    return ChangeKind::Other;
}

// The messages whose handling in the control can change the text.
bool MayChangeText(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_CHAR:
        // Ctrl+Z and Ctrl+Y take steps back and forth; they are no change of their own.
        return wParam != 0x1A && wParam != 0x19;
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case EM_REPLACESEL:
    case WM_CONTEXTMENU:  // the control's own menu cuts, pastes and deletes
        return true;
    case WM_KEYDOWN:
        return wParam == VK_DELETE || wParam == VK_INSERT;
    default:
        return false;
    }
}

// What the control held before a message: the selection, and the text it may take away.
struct Before {
    TextSelection selection;
    std::size_t length = 0;
    std::size_t keptFrom = 0;  // the kept text lies at this position
    std::u16string kept;
};

Before Measure(HWND edit)
{
    Before before;
    before.selection = SelectionOf(edit);
    const EditControlText text(edit, controlProc);
    const std::u16string_view view = text.view();
    before.length = view.size();
    const std::size_t start = std::min(before.selection.start, view.size());
    const std::size_t end = std::min(before.selection.end, view.size());
    if (start < end) {
        before.keptFrom = start;
        before.kept.assign(view.substr(start, end - start));
    } else {
        before.keptFrom = start - std::min(start, kCaretReach);
        before.kept.assign(view.substr(before.keptFrom, start - before.keptFrom + kCaretReach));
    }
    return before;
}

// The one change the message made, found from the selection and length before and after: the
// control changes text only at the selection, or next to the caret for Backspace and Delete.
// False when there was none; throws std::length_error when it lies beyond what was kept.
bool ChangeMade(HWND edit, const Before& before, TextChange& change)
{
    const TextSelection after = SelectionOf(edit);
    const EditControlText text(edit, controlProc);
    const std::u16string_view view = text.view();
    const std::size_t start = std::min(before.selection.start, before.length);
    const std::size_t end = std::min(before.selection.end, before.length);
    std::size_t removed = 0;
    if (start < end) {
        change.position = start;
        removed = end - start;
    } else if (view.size() < before.length) {
        removed = before.length - view.size();
        change.position = after.start + removed == start ? after.start : start;
    } else {
        change.position = start;
    }
    if (view.size() + removed < before.length)
        throw std::length_error("the change is not at the selection");
    const std::size_t inserted = view.size() + removed - before.length;
    if (removed == 0 && inserted == 0)
        return false;
    if (change.position < before.keptFrom || change.position + removed > before.keptFrom + before.kept.size() ||
        change.position + inserted > view.size())
        throw std::length_error("the change is beyond the kept text");
    change.removed = before.kept.substr(change.position - before.keptFrom, removed);
    change.inserted.assign(view.substr(change.position, inserted));
    // A command that puts back what was there changes nothing worth a step.
    return change.removed != change.inserted;
}

void RecordPending(HWND edit, TextSelection before)
{
    pending.before = before;
    pending.after = lastAfter = SelectionOf(edit);
    if (enabled)
        history.Record(std::move(pending), GetTickCount64());
    pending = {};
}

LRESULT RecordAround(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::optional<Before> before;
    try {
        before = Measure(edit);
    } catch (const std::bad_alloc&) {
        ForgetHistory();
    }
    const std::size_t changesBefore = recordedChanges;
    const LRESULT result = Control(edit, message, wParam, lParam);
    // A change that went through the editor's procedure again (Ctrl+V sends WM_PASTE) is
    // recorded there.
    if (!before || recordedChanges != changesBefore)
        return result;
    try {
        TextChange change;
        if (ChangeMade(edit, *before, change)) {
            AddChange(std::move(change));
            // A change outside any step is a step of its own.
            if (stepDepth == 0)
                RecordPending(edit, before->selection);
        }
    } catch (const std::bad_alloc&) {
        ForgetHistory();
    } catch (const std::length_error&) {
        // A change the control made elsewhere than it does: the steps no longer fit the text.
        history.Clear(false);
        pending.changes.clear();
    }
    return result;
}

// Puts a step's changes into the control, forward or back, without recording them.
void Rewrite(HWND edit, const HistoryStep& step, bool forward)
{
    if (step.replaced.at.empty() && step.changes.size() <= kChangesOneByOne) {
        const auto one = [&](const TextChange& change) {
            const std::u16string& found = forward ? change.removed : change.inserted;
            const std::u16string& left = forward ? change.inserted : change.removed;
            {
                // A step that does not fit the text would put its text in the wrong place.
                const EditControlText text(edit, controlProc);
                if (change.position > text.view().size() || text.view().substr(change.position, found.size()) != found)
                    throw std::length_error("the step does not fit the text");
            }
            Control(edit, EM_SETSEL, change.position, static_cast<LPARAM>(change.position + found.size()));
            Control(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(AsWide(left)));
        };
        if (forward)
            std::for_each(step.changes.begin(), step.changes.end(), one);
        else
            std::for_each(step.changes.rbegin(), step.changes.rend(), one);
        return;
    }
    std::optional<std::wstring> copy = TakeWindowText(edit);
    if (!copy)
        throw std::bad_alloc();
    std::u16string text(AsUtf16View(*copy));
    copy.reset();
    if (!(forward ? ApplyStep(text, step) : RevertStep(text, step)))
        throw std::length_error("the step does not fit the text");
    Control(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(text)));
    NotifyTextChanged(edit);
}

bool Replay(HWND edit, bool forward)
{
    // A step still being gathered belongs to the history before anything is taken back.
    if (!pending.changes.empty() || !pending.replaced.at.empty())
        return false;
    const HistoryStep* step = forward ? history.Redo() : history.Undo();
    if (!step)
        return false;
    // Inside a message that is being recorded (the control's menu), this is no change of its own.
    ++recordedChanges;
    Control(edit, WM_SETREDRAW, FALSE, 0);
    try {
        Rewrite(edit, *step, forward);
        const TextSelection selection = forward ? step->after : step->before;
        Control(edit, EM_SETSEL, selection.start, static_cast<LPARAM>(selection.end));
        lastAfter = selection;
    } catch (const std::exception&) {
        ForgetHistory();
    }
    Control(edit, WM_SETREDRAW, TRUE, 0);
    RepaintNow(edit);
    Control(edit, EM_SCROLLCARET, 0, 0);
    MarkFromHistory(edit);
    return true;
}

}  // namespace

void AttachEditorHistory(HWND, WNDPROC proc)
{
    controlProc = proc;
    history.Clear();
}

EditorStep::EditorStep(HWND edit, UINT message, WPARAM wParam)
    : edit_(edit), message_(message), gathers_(enabled && (message == 0 || MayChangeText(message, wParam)))
{
    // Only what changes text gathers a step: a key that opens a dialog must not hold one open
    // for as long as the dialog's own loop runs.
    if (!gathers_ || stepDepth++ > 0)
        return;
    pending = {};
    pending.kind = KindOf(message, wParam);
    pending.before = SelectionOf(edit);
}

EditorStep::~EditorStep()
{
    if (!gathers_) {
        if (!enabled)
            return;
        // A caret moved by a key, a click or a command ends a typed run, even if it comes back.
        if (stepDepth == 0 && (message_ == WM_KEYDOWN || message_ == WM_LBUTTONDOWN || message_ == WM_LBUTTONUP ||
                               message_ == EM_SETSEL) &&
            SelectionOf(edit_) != lastAfter)
            history.BreakRun();
        return;
    }
    if (--stepDepth > 0)
        return;
    if (pending.changes.empty() && pending.replaced.at.empty())
        return;
    try {
        RecordPending(edit_, pending.before);
    } catch (const std::bad_alloc&) {
        ForgetHistory();
    }
}

LRESULT PassOnRecorded(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_UNDO:
    case EM_UNDO:
        return UndoEditorChange(edit);
    case EM_CANUNDO:
        return history.CanUndo();
    case WM_CHAR:
        // Ctrl+Z and Ctrl+Y as the keyboard types them; with Shift, Ctrl+Z redoes.
        if (wParam == 0x1A) {
            (GetKeyState(VK_SHIFT) & 0x8000) ? RedoEditorChange(edit) : UndoEditorChange(edit);
            return 0;
        }
        if (wParam == 0x19) {
            RedoEditorChange(edit);
            return 0;
        }
        break;
    case EM_SETMODIFY:
        // Whoever says the text is as on disk (a save, a load) sets the saved point; text said
        // to be changed outside any step (recovered text) is not the saved text.
        if (!wParam)
            history.MarkSaved();
        else if (stepDepth == 0 && history.AtSavedPoint())
            history.ForgetSavedPoint();
        break;
    case WM_SETTEXT:
        if (!settingWholeText) {
            // A new text altogether, as a file opened: a new history.
            const LRESULT result = Control(edit, message, wParam, lParam);
            history.Clear();
            pending.changes.clear();
            lastAfter = {};
            return result;
        }
        break;
    default:
        break;
    }
    if (!enabled || !MayChangeText(message, wParam))
        return Control(edit, message, wParam, lParam);
    return RecordAround(edit, message, wParam, lParam);
}

bool UndoEditorChange(HWND edit)
{
    return Replay(edit, false);
}

bool RedoEditorChange(HWND edit)
{
    return Replay(edit, true);
}

void SetEditorTextAsStep(HWND edit, std::u16string_view text, std::optional<ReplacedOccurrences> replaced)
{
    {
        const EditorStep step(edit);
        settingWholeText = true;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(std::u16string(text).c_str())));
        settingWholeText = false;
        if (replaced) {
            ++recordedChanges;
            pending.replaced = std::move(*replaced);
        } else {
            ForgetHistory();
        }
    }
    MarkFromHistory(edit);
    NotifyTextChanged(edit);
}

EditHistory& EditorHistory()
{
    return history;
}

void SetEditorHistoryEnabled(bool on)
{
    enabled = on;
    history.Clear();
}
