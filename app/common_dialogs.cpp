#include "app/common_dialogs.h"

#include "app/message_box.h"

namespace {

constexpr wchar_t kDialogsDll[] = L"comdlg32.dll";

template <typename Function>
Function* Find(HWND owner, const char* name)
{
    // A pointer to a function without parameters converts to any other without a warning.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(FindDialogFunction(owner, kDialogsDll, name)));
}

}  // namespace

FARPROC FindDialogFunction(HWND owner, const wchar_t* dll, const char* name)
{
    HMODULE module = GetModuleHandleW(dll);
    if (!module)
        module = LoadLibraryW(dll);
    FARPROC function = module ? GetProcAddress(module, name) : nullptr;
    if (!function) {
        ShowMessageWithCode(owner, L"The system's common dialogs could not be loaded.\n\nError code: %lu",
                            GetLastError(), L"Error", MB_ICONERROR);
    }
    return function;
}

BOOL ShowOpenFileDialog(OPENFILENAMEW* record)
{
    auto* function = Find<BOOL WINAPI(OPENFILENAMEW*)>(record->hwndOwner, "GetOpenFileNameW");
    return function ? function(record) : FALSE;
}

BOOL ShowSaveFileDialog(OPENFILENAMEW* record)
{
    auto* function = Find<BOOL WINAPI(OPENFILENAMEW*)>(record->hwndOwner, "GetSaveFileNameW");
    return function ? function(record) : FALSE;
}

BOOL ShowFontDialog(CHOOSEFONTW* chooser)
{
    auto* function = Find<BOOL WINAPI(CHOOSEFONTW*)>(chooser->hwndOwner, "ChooseFontW");
    return function ? function(chooser) : FALSE;
}

BOOL ShowColorDialog(CHOOSECOLORW* chooser)
{
    auto* function = Find<BOOL WINAPI(CHOOSECOLORW*)>(chooser->hwndOwner, "ChooseColorW");
    return function ? function(chooser) : FALSE;
}
