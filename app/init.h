#pragma once
// Builds the screen: the bars, the output pane, every button, and the start state.

#include <windows.h>

extern HWND hTopBar;
extern HWND hJump;

void init();

// Centres a top-level window on the whole screen without resizing it.
void CenterWindow(HWND window);
