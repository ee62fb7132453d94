#pragma once
// Builds the screen: the bars, the output pane, every button, and the start state.

#include <windows.h>

extern HWND hTopBar;
extern HWND hJump;
extern HWND hOutput;

void init();

LRESULT CALLBACK OutPut(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                        DWORD_PTR referenceData);

// Centres a top-level window on the whole screen without resizing it.
void CenterWindow(HWND window);
