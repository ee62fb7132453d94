// The in-process tests run against the application's real start-up: one main window,
// made exactly as the program makes it, shared by every test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/startup.h"
#include "tests/win/win_test_support.h"
#include "win32/process_state.h"

wchar_t g_startDirectory[MAX_PATH] = {};

int main(int argc, char** argv)
{
    // Each line reaches the log as it is printed, so a run that hangs or is ended shows how far
    // it got.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    GetCurrentDirectoryW(MAX_PATH, g_startDirectory);
    // The copies of unsaved text that typing in the tests makes go to a folder of the run's own,
    // never to the user's, where the next start of the editor would offer them.
    const TempFolder appData;
    std::wstring appDataFolder = appData.Path(L"");
    appDataFolder.pop_back();
    SetEnvironmentVariableW(L"LOCALAPPDATA", appDataFolder.c_str());
    if (!StartApplication(GetModuleHandleW(nullptr))) {
        std::fprintf(stderr, "The application did not start.\n");
        return 1;
    }
    PumpPendingMessages();
    const int result = RUN_ALL_TESTS();
    DestroyWindow(mHwnd);
    return result;
}
