#pragma once
// The command bar along the top of the main window.

#include <windows.h>

// Slots of the command bar group that the commands read or change.
constexpr int kJumpBarToggleSlot = 6;
constexpr int kCountFieldSlot = 11;

LRESULT CALLBACK TopBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                        DWORD_PTR referenceData);

int getIntegerFromWindow(HWND window);
