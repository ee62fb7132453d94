#include "editor/indent_commands.h"

#include <climits>
#include <optional>
#include <string>

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

// The selected part of a copy of the whole text; the selection cannot reach past its end.
std::u16string_view SelectedPart(const std::wstring& text, const Selection& selection)
{
    const std::u16string_view whole = AsUtf16View(text);
    const std::size_t start = selection.start < whole.size() ? selection.start : whole.size();
    const std::size_t end = selection.end < whole.size() ? selection.end : whole.size();
    return whole.substr(start, end - start);
}

// Puts the new text in place of the selection, selects it and repaints the control once.
void ReplaceSelection(HWND edit, const Selection& selection, const std::u16string& replacement)
{
    SendMessageW(edit, EM_SETSEL, selection.start, static_cast<LPARAM>(selection.end));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(AsWide(replacement)));
    SendMessageW(edit, EM_SETSEL, selection.start, static_cast<LPARAM>(selection.start + replacement.size()));
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
        const std::u16string_view selected = SelectedPart(*text, selection);
        // The whole text, with the selection grown, must stay countable by the control.
        const std::size_t rest = text->size() - selected.size();
        std::optional<std::u16string> indented;
        if (rest <= kLongestEditorText)
            indented = IndentSelectionText(selected, spaces, kLongestEditorText - rest);
        if (!indented) {
            ReportMessage(nullptr, IDS_INDENTED_TEXT_OUT_OF_MEMORY);
            return;
        }
        ReplaceSelection(edit, selection, *indented);
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
        const std::optional<std::u16string> outdented = OutdentSelectionText(SelectedPart(*text, selection), spaces);
        if (!outdented)
            return;
        ReplaceSelection(edit, selection, *outdented);
    }
    RepaintNow(edit);
}
