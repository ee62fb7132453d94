#include "app/main_window.h"

#include "editor/editor_keys.h"
#include "resources/resource_ids.h"
#include "win32/dark_scheme.h"
#include "win32/layout.h"
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

    hBrushBlack = CreateSolidBrush(RGB(0, 0, 0));
    return 0;
}

LRESULT OnColorEdit(HDC dc, HWND control)
{
    if (control == hEdit) {
        SetTextColor(dc, textColor);
        SetBkColor(dc, backgroundColor);
    } else {
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(0, 0, 0));
    }
    // The area that no text covers stays black whatever the background colour is.
    return reinterpret_cast<LRESULT>(hBrushBlack);
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
    DeleteObject(hBrushBlack);
    hBrushBlack = nullptr;
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
        return 0;  // the buttons belong to the two bars, which handle their commands
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
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
