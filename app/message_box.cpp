#include "app/message_box.h"

#include <new>
#include <string>

#include "app/message_text.h"
#include "app/wide.h"

namespace {

// Room for the longest text with a number, as the failure texts have always had.
constexpr std::size_t kCodeTextCapacity = 256;

}  // namespace

int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    return MessageBoxW(owner, text, caption, style);
}

int ShowMessageWithCode(HWND owner, const wchar_t* format, DWORD code, const wchar_t* caption, UINT style)
{
    wchar_t text[kCodeTextCapacity];
    FormatWithCode(AsUtf16(format), code, {AsUtf16(text), kCodeTextCapacity});
    return ShowMessage(owner, text, caption, style);
}

void ShowFileError(HWND owner, const wchar_t* what, const wchar_t* path)
{
    try {
        std::wstring text = what;
        text += L"\n\n";
        text += path;
        ShowMessage(owner, text.c_str(), L"Error", MB_ICONERROR);
    } catch (const std::bad_alloc&) {
        ShowMessage(owner, what, L"Error", MB_ICONERROR);
    }
}
