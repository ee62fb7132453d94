#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Index just after the nearest LF before `position`, or 0. Positions past
// the end are treated as the end.
std::size_t LineStartBefore(std::u16string_view text, std::size_t position);

// Number of U+0020 characters starting at `lineStart`. Tabs do not count and
// end the run, as does anything else; the caret position plays no part.
std::size_t LeadingSpaceCount(std::u16string_view text, std::size_t lineStart);

// CR LF followed by `spaces` spaces; CR LF alone when so long a text cannot be made.
std::u16string LineBreakWithSpaces(std::size_t spaces);

// How many whole spaces fit in a pixel width; 0 for non-positive input.
std::size_t SpacesThatFit(long long prefixWidth, long long spaceWidth);
