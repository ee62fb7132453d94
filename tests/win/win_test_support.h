#pragma once
// Small readers of real window state for the in-process tests.

#include <windows.h>

#include <string>

#include "app/layout.h"

std::wstring WindowText(HWND window);
std::wstring ClassNameOf(HWND window);
// Where a child stands in its parent's client area, as x, y, width, height.
LayoutRect PlaceInParent(HWND window);
DWORD StyleOf(HWND window);
// Lets posted messages and paints through, as the message loop would.
void PumpPendingMessages();

int ScreenWidth();
int ScreenHeight();
