#include "win32/edit_control_text.h"

#include <new>

#include "text/wide.h"

EditControlText::EditControlText(HWND edit, WNDPROC procedure)
{
    const auto ask = [edit, procedure](UINT message, WPARAM wParam, LPARAM lParam) {
        return procedure ? CallWindowProcW(procedure, edit, message, wParam, lParam)
                         : SendMessageW(edit, message, wParam, lParam);
    };
    const auto length = static_cast<std::size_t>(ask(WM_GETTEXTLENGTH, 0, 0));
    buffer_ = reinterpret_cast<HLOCAL>(ask(EM_GETHANDLE, 0, 0));
    if (buffer_)
        locked_ = static_cast<const wchar_t*>(LocalLock(buffer_));
    if (locked_) {
        view_ = AsUtf16View(locked_, length);
        return;
    }
    // Without memory for the copy the view stays empty.
    try {
        copy_.resize(length + 1);
    } catch (const std::bad_alloc&) {
        return;
    }
    const auto copied = ask(WM_GETTEXT, copy_.size(), reinterpret_cast<LPARAM>(copy_.data()));
    copy_.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    view_ = AsUtf16View(copy_);
}

EditControlText::~EditControlText()
{
    if (locked_)
        LocalUnlock(buffer_);
}
