#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Index just after the nearest LF before `position`, or 0. Positions past
// the end are treated as the end.
std::size_t LineStartBefore(std::u16string_view text, std::size_t position);

// Number of spaces and tabs starting at `lineStart`, the line's indent; anything else ends
// the run, and the caret position plays no part.
std::size_t LeadingIndentLength(std::u16string_view text, std::size_t lineStart);

// CR LF followed by `spaces` spaces; CR LF alone when so long a text cannot be made.
std::u16string LineBreakWithSpaces(std::size_t spaces);

// CR LF followed by the indent as it is; CR LF alone when so long a text cannot be made.
std::u16string LineBreakWithIndent(std::u16string_view indent);

// The width of a line's text as the editor lays it out: runs without tabs measured by
// `measure`, and each tab reaching on to the next multiple of `tabWidth`.
template <typename Measure>
long long ExpandedWidth(std::u16string_view text, long long tabWidth, Measure measure)
{
    long long width = 0;
    for (;;) {
        const std::size_t tab = text.find(u'\t');
        width += measure(text.substr(0, tab));
        if (tab == std::u16string_view::npos)
            return width;
        if (tabWidth > 0)
            width = (width / tabWidth + 1) * tabWidth;
        text.remove_prefix(tab + 1);
    }
}

// Line and column of a position, both counted from 1; a line starts after an LF, and a
// column counts characters, a tab as one.
struct LineColumn {
    std::size_t line;
    std::size_t column;
    bool operator==(const LineColumn&) const = default;
};
LineColumn LineColumnAt(std::u16string_view text, std::size_t position);

// How many whole spaces fit in a pixel width; 0 for non-positive input.
std::size_t SpacesThatFit(long long prefixWidth, long long spaceWidth);
