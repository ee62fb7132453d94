#include "app/startup.h"

#include <commctrl.h>

#include "app/main_window.h"
#include "app/shell.h"
#include "resources/resource_ids.h"
#include "win32/main_layout.h"
#include "win32/process_state.h"

namespace {

bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SKOCZEK));
    windowClass.lpszClassName = L"MainWindowClass";
    return RegisterClassW(&windowClass) != 0;
}

}  // namespace

void get_current_directory()
{
    GetCurrentDirectoryW(kCurrentPathCapacity, currentPathA);
}

bool StartApplication(HINSTANCE instance)
{
    get_current_directory();
    if (!RegisterMainWindowClass(instance))
        return false;
    InitCommonControls();

    const RECT place = StartWindowRect();
    HWND window = CreateWindowExW(0, L"MainWindowClass", L"", kMainWindowStyle, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, nullptr, nullptr, instance,
                                  nullptr);
    if (!window)
        return false;

    mHwnd = window;
    mhI = instance;
    init();
    ShowWindow(mHwnd, SW_SHOWNORMAL);
    UpdateWindow(mHwnd);
    return true;
}

void RunMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
