#include <windows.h>

#include "app/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (StartApplication(instance)) {
        OpenStartText();
        RunMessageLoop();
    }
    return 0;
}
