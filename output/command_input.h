#pragma once
// What the window's thread does with its queue while a command runs.

#include <windows.h>

#include <functional>

// Takes every keyboard and mouse message out of the queue, so that nothing typed or clicked
// while a command runs reaches a window. Each key press but Escape, and each character, goes to
// `take`; a key press is then translated, so its character is the next message taken here.
// True when Escape was pressed.
bool TakeInputWatchingForEscape(const std::function<void(const MSG&)>& take);

// Paints what needs painting, a bounded number of times.
void RepaintWhileWaiting();
