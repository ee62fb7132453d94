#include "win32/dialogs.h"

#include "resources/resource_ids.h"
#include "win32/messages.h"
#include "win32/process_state.h"

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
        ReportMessage(owner, IDS_COMMON_DIALOGS_MISSING, MessageDetail::Code(GetLastError()));
    }
    return function;
}

BOOL ShowOpenFileDialog(OPENFILENAMEW* record)
{
    record->hwndOwner = OwnerAboveOpenDialogs(record->hwndOwner);
    auto* function = Find<BOOL WINAPI(OPENFILENAMEW*)>(record->hwndOwner, "GetOpenFileNameW");
    return function ? function(record) : FALSE;
}

BOOL ShowSaveFileDialog(OPENFILENAMEW* record)
{
    record->hwndOwner = OwnerAboveOpenDialogs(record->hwndOwner);
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

INT_PTR OpenModalDialog(int templateId, DLGPROC procedure)
{
    const INT_PTR result = DialogBoxParamW(mhI, MAKEINTRESOURCEW(templateId), nullptr, procedure, 0);
    if (result == -1)
        ReportMessage(nullptr, IDS_DIALOG_FAILED, MessageDetail::Code(GetLastError()));
    return result;
}

OPENFILENAMEW FileDialogRecord(const FileDialogRequest& request)
{
    OPENFILENAMEW record = {};
    record.lStructSize = sizeof record;
    record.hwndOwner = request.owner;
    record.lpstrFilter = request.filter;
    record.nFilterIndex = 0;
    record.lpstrFile = request.buffer;
    record.nMaxFile = request.capacity;
    record.Flags = request.flags;
    record.lpstrDefExt = request.defaultExtension;
    record.lpstrTitle = request.title;
    return record;
}
