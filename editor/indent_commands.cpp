#include "editor/indent_commands.h"

#include <climits>
#include <optional>
#include <string>

#include "editor/editor_history.h"
#include "editor/selection_indent.h"
#include "resources/resource_ids.h"
#include "text/wide.h"
#include "win32/messages.h"
#include "win32/window_ops.h"

namespace {

// The edit control counts its characters in an int.
constexpr std::size_t kLongestEditorText = INT_MAX - 1;

// Keeps the control from drawing while its selection is read and replaced; every way out
// lets it draw again.
class ScopedRedrawOff {
public:
    explicit ScopedRedrawOff(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
    ~ScopedRedrawOff() { SendMessageW(window_, WM_SETREDRAW, TRUE, 0); }
    ScopedRedrawOff(const ScopedRedrawOff&) = delete;
    ScopedRedrawOff& operator=(const ScopedRedrawOff&) = delete;

private:
    HWND window_;
};

struct Selection {
    std::size_t start;
    std::size_t end;
};

Selection SelectionOf(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// The lines the selection touches, in a copy of the whole text.
std::u16string_view TouchedPart(const std::wstring& text, const Selection& selection, Selection& lines)
{
    const std::u16string_view whole = AsUtf16View(text);
    const LineSpan span = LinesTouched(whole, selection.start, selection.end);
    lines = {span.from, span.to};
    return whole.substr(span.from, span.to - span.from);
}

// Puts the new text in place of the lines, selects it and marks the text changed: one step of
// the history, which undo takes back to the selection the command found.
void ReplaceLines(HWND edit, const Selection& lines, const std::u16string& replacement)
{
    const EditorStep step(edit);
    SendMessageW(edit, EM_SETSEL, lines.start, static_cast<LPARAM>(lines.end));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(AsWide(replacement)));
    SendMessageW(edit, EM_SETSEL, lines.start, static_cast<LPARAM>(lines.start + replacement.size()));
    SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
}

}  // namespace

void addLineBreaks(HWND edit, int spaces)
{
    {
        ScopedRedrawOff redrawOff(edit);
        const Selection selection = SelectionOf(edit);
        if (selection.start >= selection.end) {
            ReportMessage(nullptr, IDS_NO_SELECTION);
            return;
        }
        const std::optional<std::wstring> text = TakeWindowText(edit);
        if (!text) {
            ReportMessage(nullptr, IDS_INDENT_OUT_OF_MEMORY);
            return;
        }
        Selection lines = {};
        const std::u16string_view touched = TouchedPart(*text, selection, lines);
        // The whole text, with the lines grown, must stay countable by the control.
        const std::size_t rest = text->size() - touched.size();
        std::optional<std::u16string> indented;
        if (rest <= kLongestEditorText)
            indented = IndentLinesText(touched, spaces, kLongestEditorText - rest);
        if (!indented) {
            ReportMessage(nullptr, IDS_INDENTED_TEXT_OUT_OF_MEMORY);
            return;
        }
        ReplaceLines(edit, lines, *indented);
    }
    RepaintNow(edit);
}

void removeExtraSpaces(HWND edit, int spaces)
{
    {
        ScopedRedrawOff redrawOff(edit);
        const Selection selection = SelectionOf(edit);
        if (selection.start >= selection.end)
            return;
        const std::optional<std::wstring> text = TakeWindowText(edit);
        if (!text)
            return;
        Selection lines = {};
        const std::optional<std::u16string> outdented = OutdentLinesText(TouchedPart(*text, selection, lines), spaces);
        if (!outdented)
            return;
        ReplaceLines(edit, lines, *outdented);
    }
    RepaintNow(edit);
}
