#include "app/startup.h"

#include <commctrl.h>

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/shell.h"
#include "commandbar/command_text.h"
#include "files/recovery.h"
#include "files/text_file.h"
#include "resources/resource_ids.h"
#include "win32/main_layout.h"
#include "text/wide.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

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

void OpenStartText()
{
    try {
        const std::vector<std::u16string> sources = DirectiveSourceFiles(ReadTextField(ustawienia.compileDirective));
        const std::optional<std::u16string> source =
            sources.empty() ? std::nullopt : std::optional<std::u16string>(sources.front());
        // Only a file in the start folder: a name with a drive or from the root is not the workspace's.
        if (source && source->find(u':') == std::u16string::npos && !source->starts_with(u'\\') &&
            !source->starts_with(u'/')) {
            const std::wstring path = std::wstring(currentPathA) + L"\\" + AsWideString(*source);
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                path.size() < kCurrentFileCapacity && LoadTextFileToEdit(hEdit, mHwnd, path.c_str())) {
                SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
                lstrcpynW(current_file, path.c_str(), kCurrentFileCapacity);
                SetWindowTextW(mHwnd, current_file);
                RepaintNow(hEdit);
            }
        }
    } catch (const std::bad_alloc&) {
        // The editor starts empty, as without the file.
    }
    OfferRecoveredText(mHwnd);
}

void RunMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
