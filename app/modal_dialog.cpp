#include "app/modal_dialog.h"

#include "app/main_window.h"
#include "app/message_box.h"

INT_PTR OpenModalDialog(int templateId, DLGPROC procedure)
{
    const INT_PTR result = DialogBoxParamW(mhI, MAKEINTRESOURCEW(templateId), nullptr, procedure, 0);
    if (result == -1)
        ShowMessageWithCode(nullptr, L"DialogBox failed! Error code: %lu", GetLastError(), L"Error", MB_ICONERROR);
    return result;
}
