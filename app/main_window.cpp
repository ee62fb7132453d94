#include "app/main_window.h"

#include "editor/code_view.h"
#include "editor/editor_keys.h"
#include "files/recovery.h"
#include "files/text_file.h"
#include "resources/resource_ids.h"
#include "win32/dark_scheme.h"
#include "win32/layout.h"
#include "win32/main_layout.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

constexpr DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;

// Both fonts of the shell share this description but are separate objects.
HFONT CreateShellFont()
{
    return CreateFontW(18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

LRESULT OnCreate(HWND window)
{
    hNormalFont = CreateShellFont();
    hOldFont = CreateShellFont();

    const LayoutRect place = EditorCreationRect(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    hEdit = CreateWindowExW(0, L"EDIT", L"", kEditorStyle, place.x, place.y, place.width, place.height, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR)), GetModuleHandleW(nullptr),
                            nullptr);
    SendMessageW(hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(hNormalFont), 0);
    // The control's default limit would stop typing at 32K characters.
    SendMessageW(hEdit, EM_SETLIMITTEXT, 0, 0);
    InstallEditorKeys(hEdit);
    InstallCodeView(hEdit, window);

    hBrushBlack = CreateSolidBrush(RGB(0, 0, 0));
    return 0;
}

// The editor's brush follows the background colour: made again whenever the colour it was made
// with is no longer the chosen one.
HBRUSH EditorBrush()
{
    LOGBRUSH made = {};
    if (hEditorBrush && GetObjectW(hEditorBrush, sizeof made, &made) == sizeof made && made.lbColor == backgroundColor)
        return hEditorBrush;
    HBRUSH brush = CreateSolidBrush(backgroundColor);
    if (!brush)
        return hEditorBrush ? hEditorBrush : hBrushBlack;
    if (hEditorBrush)
        DeleteObject(hEditorBrush);
    hEditorBrush = brush;
    return hEditorBrush;
}

LRESULT OnColorEdit(HDC dc, HWND control)
{
    if (control == hEdit) {
        SetTextColor(dc, textColor);
        SetBkColor(dc, backgroundColor);
        return reinterpret_cast<LRESULT>(EditorBrush());
    }
    // The output pane stays white on black.
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(hBrushBlack);
}

// Closing asks first when the editor holds changed text.
LRESULT OnClose(HWND window)
{
    if (KeepChangesBeforeLeaving(window))
        DestroyWindow(window);
    else if (hEdit)
        SetFocus(hEdit);
    return 0;
}

// A log-off or shutdown asks as closing does; Cancel refuses to let the session end. The copy
// of unsaved text is brought up to date first, in case the system ends the program while it asks.
LRESULT OnQueryEndSession(HWND window)
{
    WriteRecoveryCopyNow();
    if (KeepChangesBeforeLeaving(window))
        return TRUE;
    if (hEdit)
        SetFocus(hEdit);
    return FALSE;
}

LRESULT OnSize(HWND window, WPARAM kind)
{
    if (kind == SIZE_MINIMIZED)
        return 0;
    LayOutShell();
    // The frame around the client area moves with its edges.
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

// The main window has nothing to type into: whenever it gets the keyboard (after a dialog
// closes, or when it is activated), the editor takes it.
LRESULT OnSetFocus()
{
    if (hEdit)
        SetFocus(hEdit);
    return 0;
}

LRESULT OnDestroy()
{
    // A clean close: what was not saved, the user chose to leave.
    DiscardRecoveryCopy();
    DeleteObject(hBrushBlack);
    hBrushBlack = nullptr;
    if (hEditorBrush)
        DeleteObject(hEditorBrush);
    hEditorBrush = nullptr;
    PostQuitMessage(0);
    return 0;
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_COMMAND:
        // The buttons belong to the two bars, which handle their commands; the editor says here
        // when its text changed, which the code view and the copy of unsaved text follow.
        if (HIWORD(wParam) == EN_CHANGE && hEdit && reinterpret_cast<HWND>(lParam) == hEdit) {
            NoteCodeViewTextChanged();
            NoteEditorTextChanged();
        }
        return 0;
    case WM_PAINT:
        PaintFramedSurface(window, backgroundColor);
        return 0;
    case WM_CTLCOLOREDIT:
        return OnColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
        // The read-only pane asks as a static would, but keeps the edit controls' colours.
        if (reinterpret_cast<HWND>(lParam) == hOutput)
            return OnColorEdit(reinterpret_cast<HDC>(wParam), hOutput);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETFOCUS:
        return OnSetFocus();
    case WM_SIZE:
        return OnSize(window, wParam);
    case WM_GETMINMAXINFO:
        LimitMainWindowSize(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_CLOSE:
        return OnClose(window);
    case WM_QUERYENDSESSION:
        return OnQueryEndSession(window);
    case WM_ENDSESSION:
        // The question was answered: the session ends as a close does.
        if (wParam)
            DiscardRecoveryCopy();
        return 0;
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
