#include "editor/editor_keys.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>

#include "editor/auto_indent.h"
#include "editor/code_view.h"
#include "editor/editor_history.h"
#include "files/text_file.h"
#include "resources/resource_ids.h"
#include "search/search_replace_dialog.h"
#include "text/wide.h"
#include "win32/edit_control_text.h"
#include "win32/holders.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

WNDPROC OldEditProc = nullptr;

bool IsDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

// AltGr arrives as Ctrl and Alt together; on a Polish keyboard AltGr+A, O, S type letters.
bool ShortcutModifiersDown()
{
    return IsDown(VK_CONTROL) && !IsDown(VK_MENU);
}

void MarkChanged(HWND edit)
{
    SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
}

void InsertAtSelectionStart(HWND edit, int position, const std::u16string& text)
{
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(position), position);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(AsWide(text)));
    MarkChanged(edit);
}

void SelectAll(HWND edit)
{
    SendMessageW(edit, EM_SETSEL, 0, GetWindowTextLengthW(edit));
}

bool OnShortcut(HWND edit, WPARAM key)
{
    switch (key) {
    case 'A':
        SelectAll(edit);
        return true;
    case 'O':
        OpenFileAndLoadToEdit(hEdit, edit);
        return true;
    case 'S':
        SaveEditorText(true);
        return true;
    case 'F':
        OpenSearchReplaceDialog();
        return true;
    default:
        return false;
    }
}

// Enter: a new line with the caret line's leading spaces and tabs, as they are.
void NewLineLikeCurrent(HWND edit)
{
    const int position = UpdateCursorPos(edit);
    std::u16string lineBreak;
    {
        const EditControlText text(edit);
        const std::u16string_view view = text.view();
        const std::size_t lineStart = LineStartBefore(view, static_cast<std::size_t>(position));
        lineBreak = LineBreakWithIndent(view.substr(lineStart, LeadingIndentLength(view, lineStart)));
    }
    InsertAtSelectionStart(edit, position, lineBreak);
}

int RunWidth(HDC dc, std::u16string_view run)
{
    SIZE size = {};
    if (run.empty() || !GetTextExtentPoint32W(dc, AsWide(run.data()), static_cast<int>(run.size()), &size))
        return 0;
    return size.cx;
}

// How many spaces of the editor font fit under the text before the caret, its tabs reaching to
// the edit control's tab stops (every eight average characters); 0 when unmeasurable.
std::size_t SpacesUnderPrefix(HDC dc, const std::wstring& prefix)
{
    ScopedSelectObject font(dc, hNormalFont);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    const long long tabWidth = 8LL * metrics.tmAveCharWidth;
    const long long prefixWidth =
        ExpandedWidth(AsUtf16View(prefix), tabWidth, [dc](std::u16string_view run) { return RunWidth(dc, run); });
    const int spaceWidth = CalculateTextWidth(dc, L" ");
    return SpacesThatFit(prefixWidth, spaceWidth);
}

// Shift+Enter: a new line indented to the caret's column, measured in the editor font.
LRESULT NewLineUnderCaret(HWND edit)
{
    const int position = UpdateCursorPos(edit);

    ScopedMemoryDC dc;
    if (!dc) {
        ReportMessage(nullptr, IDS_NO_DEVICE_CONTEXT);
        return 1;
    }
    std::size_t spaces = 0;
    try {
        // Only the caret's line up to the caret is copied, for measuring.
        std::wstring prefix;
        {
            const EditControlText text(edit);
            const std::u16string_view view = text.view();
            const std::size_t caret = std::min(static_cast<std::size_t>(position), view.size());
            const std::u16string_view line = view.substr(0, caret).substr(LineStartBefore(view, caret));
            prefix.assign(line.begin(), line.end());
        }
        spaces = SpacesUnderPrefix(dc, prefix);
    } catch (const std::bad_alloc&) {
        spaces = 0;
    }
    InsertAtSelectionStart(edit, position, LineBreakWithSpaces(spaces));
    return 0;
}

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PassOnRecorded(window, message, wParam, lParam);
}

LRESULT OnKeyDown(HWND window, WPARAM key, LPARAM lParam)
{
    if (ShortcutModifiersDown() && OnShortcut(window, key))
        return 0;
    return PassOn(window, WM_KEYDOWN, key, lParam);
}

LRESULT OnChar(HWND window, WPARAM character, LPARAM lParam)
{
    const bool shift = IsDown(VK_SHIFT);
    if (character == L' ' && shift) {
        SendMessageW(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"     "));
        MarkChanged(window);
        return PassOn(window, WM_CHAR, character, lParam);  // the control types the sixth space
    }
    if (character == L'\r' || character == L'\n') {
        if (shift)
            return NewLineUnderCaret(window);
        NewLineLikeCurrent(window);
        return 0;
    }
    return PassOn(window, WM_CHAR, character, lParam);
}

// The messages after which the caret may stand elsewhere.
bool MayMoveCaret(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_SETTEXT:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_SETSEL:
    case EM_REPLACESEL:
        return true;
    default:
        return false;
    }
}

// Shows the caret's line and column in the label when the selection has changed. Of a
// selection, the caret is at the end that moved, or at its end when both did (as after
// EM_SETSEL).
void ShowCaretPlace(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    CallWindowProcW(OldEditProc, edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == shownSelectionStart && end == shownSelectionEnd)
        return;
    const DWORD caret = start == end || start == shownSelectionStart ? end : end == shownSelectionEnd ? start : end;
    shownSelectionStart = start;
    shownSelectionEnd = end;
    LineColumn place = {1, 1};
    {
        const EditControlText text(edit);
        place = LineColumnAt(text.view(), caret);
    }
    wchar_t status[80];
    wsprintfW(status, L"Wiersz %lu, kolumna %lu", static_cast<unsigned long>(place.line),
              static_cast<unsigned long>(place.column));
    if (hLabel)
        SetWindowTextW(hLabel, status);
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        return OnKeyDown(window, wParam, lParam);
    case WM_CHAR:
        return OnChar(window, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    default:
        return PassOn(window, message, wParam, lParam);
    }
}

}  // namespace

int UpdateCursorPos(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

int CalculateTextWidth(HDC dc, const wchar_t* text)
{
    SIZE size = {};
    if (!GetTextExtentPoint32W(dc, text, lstrlenW(text), &size))
        return 0;
    return size.cx;
}

LRESULT CALLBACK NewEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const EditorStep step(window, message, wParam);
    const CodeViewWatch codeView(window, message, wParam, lParam);
    const LRESULT result = Dispatch(window, message, wParam, lParam);
    if (MayMoveCaret(message))
        ShowCaretPlace(window);
    return result;
}

void ShowCaretPlaceNow(HWND edit)
{
    shownSelectionStart = shownSelectionEnd = MAXDWORD;
    ShowCaretPlace(edit);
}

void InstallEditorKeys(HWND edit)
{
    OldEditProc = ReplaceWindowProc(edit, NewEditProc);
    AttachEditorHistory(edit, OldEditProc);
}
