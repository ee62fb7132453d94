#pragma once
// The source text on disk.

#include <windows.h>

constexpr int kCurrentFileCapacity = 300;

// Path of the current text file, or empty when there is none.
extern wchar_t current_file[kCurrentFileCapacity];
