#include "search/search_replace_dialog.h"

#include <climits>
#include <optional>
#include <string>

#include "editor/editor_history.h"
#include "resources/resource_ids.h"
#include "search/text_search.h"
#include "text/wide.h"
#include "win32/dark_scheme.h"
#include "win32/dialogs.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

// The edit control counts its characters in an int.
constexpr std::size_t kLongestEditorText = INT_MAX - 1;

constexpr int kDialogControls[] = {
    IDC_SEARCH_LABEL, IDC_SEARCH_TEXT,    IDC_SEARCH_FIND,        IDC_SEARCH_FROM_LABEL, IDC_SEARCH_FROM,
    IDC_SEARCH_TO_LABEL, IDC_SEARCH_TO, IDC_SEARCH_REPLACE_ALL, IDC_SEARCH_OK,
};

// A field's text as far as it takes part; nullopt when there is no memory for it.
std::optional<std::wstring> ReadField(HWND dialog, int id)
{
    std::optional<std::wstring> text = TakeWindowText(GetDlgItem(dialog, id));
    if (text)
        text->resize(DialogFieldText(AsUtf16View(*text)).size());
    return text;
}

void OnFind(HWND dialog)
{
    if (const std::optional<std::wstring> text = ReadField(dialog, IDC_SEARCH_TEXT))
        findTextInEdit(hEdit, text->c_str());
}

void OnReplaceAll(HWND dialog)
{
    const std::optional<std::wstring> from = ReadField(dialog, IDC_SEARCH_FROM);
    const std::optional<std::wstring> to = ReadField(dialog, IDC_SEARCH_TO);
    if (!from || !to)
        return;
    replaceExactTextInEdit(hEdit, from->c_str(), to->c_str());
    RepaintNow(mHwnd);
}

// OK, Escape and the close box all end the dialog alike.
void Close(HWND dialog)
{
    DeleteDialogBrush(dialog);
    EndDialog(dialog, IDC_SEARCH_OK);
}

INT_PTR OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_SEARCH_FIND:
        OnFind(dialog);
        return TRUE;
    case IDC_SEARCH_REPLACE_ALL:
        OnReplaceAll(dialog);
        return TRUE;
    case IDC_SEARCH_OK:
    case IDCANCEL:
        Close(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void OpenSearchReplaceDialog()
{
    OpenModalDialog(IDD_SEARCH_REPLACE, SearchReplaceProc);
    // Typing goes on in the editor, not on the button that opened the dialog.
    SetFocus(hEdit);
}

void updateDialog2(HWND dialog)
{
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (int id : kDialogControls)
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(hOldFont), TRUE);
}

INT_PTR CALLBACK SearchReplaceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog);
        CreateDialogBrush(dialog);
        updateDialog2(dialog);
        return TRUE;
    case WM_PAINT:
        PaintFramedSurface(dialog, kDarkFill);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return ColorDialogStatic(dialog, reinterpret_cast<HDC>(wParam));
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_DESTROY:
        DeleteDialogBrush(dialog);  // however the dialog goes, its brush goes with it
        return FALSE;
    default:
        return FALSE;
    }
}

void findTextInEdit(HWND edit, const wchar_t* text)
{
    if (GetWindowTextLengthW(edit) == 0)
        return;
    const std::optional<std::wstring> content = TakeWindowText(edit);
    if (!content)
        return;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));

    const std::u16string_view what = AsUtf16(text);
    if (const std::optional<std::size_t> found = FindNextOccurrence(AsUtf16View(*content), what, start)) {
        SendMessageW(edit, EM_SETSEL, *found, static_cast<LPARAM>(*found + what.size()));
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    }
    SetFocus(edit);
}

void replaceExactTextInEdit(HWND edit, const wchar_t* from, const wchar_t* to)
{
    if (GetWindowTextLengthW(edit) == 0)
        return;
    const std::optional<std::wstring> content = TakeWindowText(edit);
    const std::optional<std::u16string> pattern = replaceNewlineWithCRLF(AsUtf16(from));
    const std::optional<std::u16string> replacement = replaceNewlineWithCRLF(AsUtf16(to));
    if (!content || !pattern || !replacement)
        return;
    const std::optional<std::u16string> result =
        ReplaceAllOccurrences(AsUtf16View(*content), *pattern, *replacement, kLongestEditorText);
    if (!result)
        return;
    // One step of the history, kept as the places of the occurrences, so that it costs little to
    // keep; the unsaved mark follows the history, since setting the text anew clears the control's own.
    std::optional<ReplacedOccurrences> step;
    try {
        step = ReplaceAllStep(AsUtf16View(*content), *pattern, *replacement);
    } catch (const std::bad_alloc&) {
        step.reset();
    }
    SetEditorTextAsStep(edit, *result, std::move(step));
}
