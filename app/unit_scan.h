#pragma once
// Fast scans over UTF-16 text, shared by search, replace and the indent commands. Portable.

#include <cstddef>
#include <string_view>

// The first position at or after `from` holding `unit`, or npos.
std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from = 0);

// The first occurrence of `what` (not empty) at or after `from`, or npos. Same result as
// std::u16string_view::find, without looking at every character of a long text.
std::size_t FindText(std::u16string_view text, std::u16string_view what, std::size_t from = 0);
