#pragma once
// Placing the main window and its children. The layout is computed again on every size change.

#include <windows.h>

constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;

// Where start-up puts the main window: the client area stands where it always stood (as if the
// window had the fixed frame), only the sizing frame around it is outside.
RECT StartWindowRect();

// The toggle's caption ("<" while hidden) is the only record of whether the jump bar is shown.
bool JumpBarShown();

// Moves the bars, the command bar's controls, the caret label, the editor and the output pane
// to their places for the main window's present size and the jump bar's state.
void LayOutShell();

// The splitter between the editor and the output pane, dragged to `clientY` in the main
// window's client area: the pane's top goes there, within the layout's limits, and stays there
// at every later size.
void MoveSplitterTo(int clientY);

// The sizes the user may drag the main window to: down to the smallest, and up to where
// start-up puts it even when that is wider than the screen.
void LimitMainWindowSize(MINMAXINFO* limits);
