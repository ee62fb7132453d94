#include "output/output_pane.h"

#include <new>
#include <optional>
#include <string>

#include "output/command_line.h"
#include "output/compiler_message.h"
#include "text/wide.h"
#include "win32/main_layout.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

WNDPROC OldOutputProc = nullptr;

// The pane's top pixels are the splitter between it and the editor.
constexpr int kSplitterGrip = 5;
bool draggingSplitter = false;
int grabbedAt = 0;  // how far below the pane's top the splitter was taken

bool OnSplitter(HWND pane)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(pane, &cursor);
    return cursor.y < kSplitterGrip;
}

// Where the pointer stands in the main window's client area, from a mouse message's place.
int MainClientY(HWND pane, LPARAM lParam)
{
    POINT place{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    MapWindowPoints(pane, mHwnd, &place, 1);
    return place.y;
}

// Dragging the splitter: the press takes the mouse, every move places the pane's top.
bool OnSplitterMouse(HWND pane, UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        if (!draggingSplitter && !OnSplitter(pane))
            return false;
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
        return true;
    case WM_LBUTTONDOWN:
        if (static_cast<short>(HIWORD(lParam)) >= kSplitterGrip)
            return false;
        draggingSplitter = true;
        grabbedAt = static_cast<short>(HIWORD(lParam));
        SetCapture(pane);
        return true;
    case WM_MOUSEMOVE:
        if (!draggingSplitter)
            return false;
        MoveSplitterTo(MainClientY(pane, lParam) - grabbedAt);
        return true;
    case WM_LBUTTONUP:
        if (!draggingSplitter)
            return false;
        draggingSplitter = false;
        ReleaseCapture();
        return true;
    case WM_CAPTURECHANGED:
        draggingSplitter = false;
        return false;
    default:
        return false;
    }
}

// An edit control's text ends at its first NUL; a zero inside program output must not hide
// what follows it, so zeros are left out. Nothing when there is no memory for the copy.
std::optional<std::wstring> WithoutZeros(std::wstring_view text)
{
    try {
        std::wstring copy;
        copy.reserve(text.size());
        for (wchar_t c : text) {
            if (c != L'\0')
                copy += c;
        }
        return copy;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace

LRESULT CALLBACK OutPut(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OnSplitterMouse(window, message, lParam))
        return message == WM_SETCURSOR ? TRUE : 0;
    if (message == WM_LBUTTONDBLCLK) {
        // The word under the pointer is selected first, which puts the caret on its line.
        const LRESULT result = CallWindowProcW(OldOutputProc, window, message, wParam, lParam);
        ShowSourceOfCompilerMessage(window);
        return result;
    }
    return CallWindowProcW(OldOutputProc, window, message, wParam, lParam);
}

// A message about a header or another file says nothing about the editor's text. With no file
// in the editor, the source is what the compile directive names.
bool NamesTheEditorsSource(std::u16string_view messageFile)
{
    if (current_file[0] != L'\0')
        return MessageNamesFile(messageFile, AsUtf16(current_file));
    try {
        for (const std::u16string& argument : DirectiveArguments(ReadTextField(ustawienia.compileDirective))) {
            if (!argument.starts_with(u"-") && MessageNamesFile(messageFile, argument))
                return true;
        }
    } catch (const std::bad_alloc&) {
    }
    return false;
}

void InstallOutputPane(HWND pane)
{
    OldOutputProc = ReplaceWindowProc(pane, OutPut);
}

void SetOutputText(std::wstring_view text)
{
    // Without memory for the copy the pane keeps what it shows.
    if (const std::optional<std::wstring> shown = WithoutZeros(text))
        SetWindowTextW(hOutput, shown->c_str());
}

void AppendOutputText(std::wstring_view text)
{
    ReplaceOutputEnd(static_cast<std::size_t>(GetWindowTextLengthW(hOutput)), text);
}

void ReplaceOutputEnd(std::size_t from, std::wstring_view text)
{
    const std::optional<std::wstring> added = WithoutZeros(text);
    const auto end = static_cast<LPARAM>(GetWindowTextLengthW(hOutput));
    if (!added || (added->empty() && static_cast<LPARAM>(from) >= end))
        return;
    SendMessageW(hOutput, EM_SETSEL, static_cast<WPARAM>(from), end);
    SendMessageW(hOutput, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added->c_str()));
}

void SetOutputFont(HFONT editorFont)
{
    LOGFONTW editor{};
    if (!editorFont || !GetObjectW(editorFont, sizeof editor, &editor))
        return;
    HFONT font = CreateFontW(editor.lfHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    if (!font)
        return;
    HFONT old = hOutputFont;
    hOutputFont = font;
    SendMessageW(hOutput, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (old)
        DeleteObject(old);
}

bool ShowSourceOfCompilerMessage(HWND pane)
{
    DWORD selectionStart = 0;
    SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), 0);
    const std::optional<std::wstring> output = TakeWindowText(pane);
    if (!output)
        return false;
    const std::optional<SourcePosition> position = ParseCompilerMessage(LineAround(AsUtf16View(*output), selectionStart));
    if (!position || !NamesTheEditorsSource(position->file))
        return false;

    const std::optional<std::wstring> source = TakeWindowText(hEdit);
    if (!source)
        return false;
    const auto caret = static_cast<WPARAM>(OffsetOfPosition(AsUtf16View(*source), *position));
    SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendMessageW(hEdit, EM_SCROLLCARET, 0, 0);
    SetFocus(hEdit);
    return true;
}
