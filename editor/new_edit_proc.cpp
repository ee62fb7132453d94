#include "editor/new_edit_proc.h"

#include "app/main_window.h"

LRESULT CALLBACK NewEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(OldEditProc, window, message, wParam, lParam);
}
