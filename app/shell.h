#pragma once
// Builds the screen: the bars, the output pane, every button, and the start state.

void init();
