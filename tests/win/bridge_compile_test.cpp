// Compile and Run with the real mingw-w64 compiler, reached through gcc.exe of the bridge:
// the script that runs this test puts gcc.exe on the session's PATH and starts the helper.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "files/text_file.h"
#include "output/output_pane.h"
#include "resources/resource_ids.h"
#include "tests/win/win_test_support.h"
#include "win32/process_state.h"

namespace {

TEST(BridgeCompile, TheRealCompilersMessageLeadsToTheFixAndTheProgramRuns)
{
    TempFolder folder;
    const std::wstring start = folder.Path(L"");
    lstrcpynW(currentPathA, start.substr(0, start.size() - 1).c_str(), kCurrentPathCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"gcc -o out_file main.c", kDirectiveUnits);

    // The semicolon after printf(...) is missing.
    SetWindowTextW(hEdit, L"#include <stdio.h>\r\n\r\nint main(void)\r\n{\r\n"
                          L"    printf(\"Skoczek %d\\n\", 1)\r\n    puts(\"koniec\");\r\n    return 0;\r\n}\r\n");
    lstrcpynW(current_file, folder.Path(L"main.c").c_str(), kCurrentFileCapacity);
    PressCommandBarButton(IDC_SAVE);

    PressCommandBarButton(IDC_COMPILE);
    const std::wstring messages = WindowText(hOutput);
    const std::size_t error = messages.find(L"main.c:5:");
    ASSERT_NE(error, std::wstring::npos) << "no message for line 5 in:\n" << messages;
    EXPECT_NE(messages.find(L"error:", error), std::wstring::npos) << messages;
    EXPECT_EQ(GetFileAttributesW(folder.Path(L"out_file.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    SetFocus(hOutput);
    DoubleClickOnCharacter(hOutput, static_cast<int>(error) + 2);
    const DWORD caret = SelectionOf(hEdit).start;
    ASSERT_EQ(SendMessageW(hEdit, EM_LINEFROMCHAR, caret, 0), 4) << "the caret goes to the message's line";

    // gcc points just behind the closing parenthesis, where the semicolon belongs.
    SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L";"));
    PressCommandBarButton(IDC_SAVE);
    PressCommandBarButton(IDC_COMPILE);
    EXPECT_EQ(WindowText(hOutput).find(L"error"), std::wstring::npos) << WindowText(hOutput);
    ASSERT_NE(GetFileAttributesW(folder.Path(L"out_file.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    PressCommandBarButton(IDC_RUN);
    const std::wstring end = L"[Zakończono z kodem 0 po ";
    EXPECT_EQ(WindowText(hOutput).substr(0, 19 + end.size()), L"Skoczek 1\r\nkoniec\r\n" + end);
}

}  // namespace
