// The two dialog templates, made into real dialogs: what the dialog manager does with the keys
// depends on their ids and styles, and the dialog procedures rely on that.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "win32/process_state.h"

namespace {

std::vector<int> g_commands;

INT_PTR CALLBACK RecordCommands(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        g_commands.push_back(LOWORD(wParam));
    return message == WM_INITDIALOG;
}

// Presses a key in a control of a modeless dialog, through the dialog manager as a modal loop would.
void PressKeyIn(HWND dialog, HWND control, UINT key)
{
    SetFocus(control);
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg = {control, message, key, 1, GetTickCount(), {}};
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    PumpPendingMessages();
}

// Escape arrives as command 2 and Enter, with no default button, as command 1. The settings
// dialog's "Ok" button carries id 2, so Escape closes it like "Ok"; Enter must reach no button
// and type nothing, not even in the multi-line directive edit.
void ExpectEscapeAndEnter(int templateId, const wchar_t* title, const wchar_t* escapeButton,
                          std::initializer_list<int> edits)
{
    HWND dialog = CreateDialogParamW(mhI, MAKEINTRESOURCEW(templateId), nullptr, RecordCommands, 0);
    ASSERT_TRUE(dialog) << templateId;
    EXPECT_EQ(WindowText(dialog), title);
    for (int id : edits) {
        HWND edit = GetDlgItem(dialog, id);
        ASSERT_TRUE(edit) << id;

        g_commands.clear();
        PressKeyIn(dialog, edit, VK_ESCAPE);
        EXPECT_EQ(g_commands, std::vector<int>{IDCANCEL}) << id;
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDCANCEL)), escapeButton);

        g_commands.clear();
        PressKeyIn(dialog, edit, VK_RETURN);
        for (int command : g_commands)
            EXPECT_EQ(GetDlgItem(dialog, command), nullptr) << "Enter pressed button " << command;
        EXPECT_EQ(WindowText(edit), L"") << id;
    }
    DestroyWindow(dialog);
}

TEST(DialogTemplates, EscapeAndEnterReachTheProceduresAsPlannedCommands)
{
    ExpectEscapeAndEnter(IDD_SETTINGS, L"Ustawienia", L"Ok", {IDC_SETTINGS_DIRECTIVE, IDC_SETTINGS_LABEL});
    ExpectEscapeAndEnter(IDD_SEARCH_REPLACE, L"Search/Replace", L"", {IDC_SEARCH_TEXT, IDC_SEARCH_FROM, IDC_SEARCH_TO});
}

TEST(DialogTemplates, ManifestAsksForCommonControls6)
{
    HRSRC resource = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(resource);
    const DWORD size = SizeofResource(GetModuleHandleW(nullptr), resource);
    const char* text = static_cast<const char*>(LockResource(LoadResource(GetModuleHandleW(nullptr), resource)));
    const std::string manifest(text, size);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
}

}  // namespace
