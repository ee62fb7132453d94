#pragma once
// Every message box of the program goes through ReportMessage: the texts are the resource
// string table's, the caption and icon of each message are chosen in one table, and showing
// a failure never throws.

#include <windows.h>

#include <string>

// What a message may carry besides its text.
struct MessageDetail {
    const wchar_t* path = nullptr;  // shown on a line of its own after the text
    DWORD code = 0;                 // takes the place of the text's "%lu", such as a system error code

    static MessageDetail Path(const wchar_t* path) { return {path, 0}; }
    static MessageDetail Code(DWORD code) { return {nullptr, code}; }
};

// Shows message `messageId` (an IDS_ or IDM_ id of resources/resource_ids.h) in a box owned by
// `owner` (see OwnerAboveOpenDialogs) and returns the box's answer.
int ReportMessage(HWND owner, UINT messageId, MessageDetail detail = {});

// The text of a message as the string table holds it, before any detail is put in.
std::wstring MessageText(UINT messageId);

// The owner a box or common dialog gets. The settings and search dialogs stay above every other
// window while open, so a box with no owner, or one owned by the main window, would open behind
// them: it belongs to the topmost open dialog instead. Other owners are kept.
HWND OwnerAboveOpenDialogs(HWND owner);
