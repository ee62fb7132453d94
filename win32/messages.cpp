#include "win32/messages.h"

#include <new>

#include "resources/resource_ids.h"
#include "text/decimal_text.h"
#include "text/wide.h"
#include "win32/process_state.h"

namespace {

constexpr wchar_t kError[] = L"Error";
constexpr wchar_t kInfo[] = L"Info";
constexpr wchar_t kPolishError[] = L"Błąd";
constexpr wchar_t kUnsavedChanges[] = L"Niezapisane zmiany";
constexpr wchar_t kRecovery[] = L"Odzyskiwanie tekstu";

struct MessageKind {
    UINT id;
    UINT text;  // the string table's id
    const wchar_t* caption;
    UINT style;
};

constexpr MessageKind kMessages[] = {
    {IDS_OUT_OF_MEMORY, IDS_OUT_OF_MEMORY, kError, MB_ICONERROR},
    {IDS_COMMON_DIALOGS_MISSING, IDS_COMMON_DIALOGS_MISSING, kError, MB_ICONERROR},
    {IDS_DIALOG_FAILED, IDS_DIALOG_FAILED, kError, MB_ICONERROR},
    {IDS_PIPE_NOT_CREATED, IDS_PIPE_NOT_CREATED, kPolishError, MB_ICONERROR},
    {IDS_PIPE_NOT_SET, IDS_PIPE_NOT_SET, kPolishError, MB_ICONERROR},
    {IDS_PROCESS_NOT_STARTED, IDS_PROCESS_NOT_STARTED, kPolishError, MB_ICONERROR},
    {IDS_START_FOLDER_GONE, IDS_START_FOLDER_GONE, kPolishError, MB_ICONERROR},
    {IDS_NO_DEVICE_CONTEXT, IDS_NO_DEVICE_CONTEXT, kPolishError, MB_ICONERROR},
    {IDS_NO_SELECTION, IDS_NO_SELECTION, kPolishError, MB_ICONERROR},
    {IDS_INDENT_OUT_OF_MEMORY, IDS_INDENT_OUT_OF_MEMORY, kPolishError, MB_ICONERROR},
    {IDS_INDENTED_TEXT_OUT_OF_MEMORY, IDS_INDENTED_TEXT_OUT_OF_MEMORY, kPolishError, MB_ICONERROR},
    {IDS_FILE_NOT_OPENED, IDS_FILE_NOT_OPENED, kPolishError, MB_ICONERROR},
    {IDS_FILE_TOO_LARGE, IDS_FILE_TOO_LARGE, kError, MB_ICONERROR},
    {IDS_FILE_OUT_OF_MEMORY, IDS_FILE_OUT_OF_MEMORY, kError, MB_ICONERROR},
    {IDS_FILE_NOT_READ, IDS_FILE_NOT_READ, kError, MB_ICONERROR},
    {IDS_FILE_NOT_CONVERTED, IDS_FILE_NOT_CONVERTED, kError, MB_ICONERROR},
    {IDS_FILE_NOT_SAVED, IDS_FILE_NOT_SAVED, kError, MB_ICONERROR},
    // The jump bar's boxes have an OK button and no icon.
    {IDS_NO_TEXT_TO_JUMP, IDS_NO_TEXT_TO_JUMP, kError, MB_OK},
    {IDM_JUMP_OUT_OF_MEMORY, IDS_OUT_OF_MEMORY, kError, MB_OK},
    {IDS_PROJECT_NOT_SAVED, IDS_PROJECT_NOT_SAVED, kError, MB_ICONERROR},
    {IDS_NO_PROJECT_CHOSEN, IDS_NO_PROJECT_CHOSEN, kInfo, MB_ICONINFORMATION},
    {IDS_PROJECT_NOT_OPENED, IDS_PROJECT_NOT_OPENED, kError, MB_ICONERROR},
    {IDS_PROJECT_NOT_READ, IDS_PROJECT_NOT_READ, kError, MB_ICONERROR},
    {IDS_UNSAVED_CHANGES, IDS_UNSAVED_CHANGES, kUnsavedChanges, MB_YESNOCANCEL | MB_ICONWARNING},
    {IDS_RECOVERY_OFFER, IDS_RECOVERY_OFFER, kRecovery, MB_YESNO | MB_ICONQUESTION},
};

// Room for the longest text with a number, as the failure texts have always had.
constexpr std::size_t kTextCapacity = 256;

const MessageKind* FindMessage(UINT id)
{
    for (const MessageKind& message : kMessages) {
        if (message.id == id)
            return &message;
    }
    return nullptr;
}

// The string table's text, terminated, in a buffer that needs no heap.
void LoadText(UINT textId, wchar_t (&text)[kTextCapacity])
{
    text[0] = L'\0';
    LoadStringW(GetModuleHandleW(nullptr), textId, text, static_cast<int>(kTextCapacity));
}

BOOL CALLBACK FindTopmostDialog(HWND window, LPARAM found)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (IsWindowVisible(window) && (exStyle & WS_EX_TOPMOST) && lstrcmpW(className, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND OwnerAboveOpenDialogs(HWND owner)
{
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (root && root != mHwnd)
        return owner;  // a dialog's own box or chooser stays with it
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindTopmostDialog, reinterpret_cast<LPARAM>(&dialog));
    return dialog ? dialog : owner;
}

int ReportMessage(HWND owner, UINT messageId, MessageDetail detail)
{
    owner = OwnerAboveOpenDialogs(owner);
    const MessageKind* message = FindMessage(messageId);
    const UINT textId = message ? message->text : messageId;
    const wchar_t* caption = message ? message->caption : kError;
    const UINT style = message ? message->style : MB_ICONERROR;

    wchar_t text[kTextCapacity];
    LoadText(textId, text);
    if (detail.path) {
        try {
            std::wstring withPath = text;
            withPath += L"\n\n";
            withPath += detail.path;
            return MessageBoxW(owner, withPath.c_str(), caption, style);
        } catch (const std::bad_alloc&) {
            return MessageBoxW(owner, text, caption, style);
        }
    }
    wchar_t withCode[kTextCapacity];
    FormatWithCode(AsUtf16(text), detail.code, {AsUtf16(withCode), kTextCapacity});
    return MessageBoxW(owner, withCode, caption, style);
}

std::wstring MessageText(UINT messageId)
{
    const MessageKind* message = FindMessage(messageId);
    wchar_t text[kTextCapacity];
    LoadText(message ? message->text : messageId, text);
    return text;
}
