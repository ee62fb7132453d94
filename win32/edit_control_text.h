#pragma once
// An edit control's text, looked at where the control keeps it.

#include <windows.h>

#include <string>
#include <string_view>

// The control's text where it lies, without a copy, for as long as this lives; a copy when the
// control's buffer cannot be had. With `procedure`, the control is asked through it rather than
// through the window, so that a replaced procedure can read its own control unobserved.
class EditControlText {
public:
    explicit EditControlText(HWND edit, WNDPROC procedure = nullptr);
    ~EditControlText();
    EditControlText(const EditControlText&) = delete;
    EditControlText& operator=(const EditControlText&) = delete;

    std::u16string_view view() const { return view_; }

private:
    HLOCAL buffer_ = nullptr;
    const wchar_t* locked_ = nullptr;
    std::wstring copy_;
    std::u16string_view view_;
};
