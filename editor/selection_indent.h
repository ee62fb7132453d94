#pragma once
// Shifting the lines of a selection sideways. A line break here is CR LF only, as the editor
// breaks its lines: a lone CR or LF is an ordinary character.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The selection with `spaces` spaces after every CR LF in it; unchanged when `spaces` is 0 or
// less. nullopt when the result would be longer than `maxLength` or there is no memory for it.
std::optional<std::u16string> IndentSelectionText(std::u16string_view selection, int spaces,
                                                  std::size_t maxLength);

// The selection with up to `spaces` leading spaces and tabs, a tab counting as one, removed
// after every CR LF in it. nullopt when there is no memory for the result.
std::optional<std::u16string> OutdentSelectionText(std::u16string_view selection, int spaces);

// The part of the text the indent commands rewrite for the selection [start, end): from the
// start of the first line that holds part of it up to `end`. A selection that starts at the end
// of a line, just before its CR LF, begins with the next line.
struct LineSpan {
    std::size_t from;
    std::size_t to;
    bool operator==(const LineSpan&) const = default;
};
LineSpan LinesTouched(std::u16string_view text, std::size_t start, std::size_t end);

// The lines of a span from LinesTouched, each with `spaces` spaces more at its start; a CR LF
// that ends the span belongs to its last line, so the line after it does not move. nullopt as
// for IndentSelectionText.
std::optional<std::u16string> IndentLinesText(std::u16string_view lines, int spaces, std::size_t maxLength);

// The lines of such a span, each with up to `spaces` leading spaces and tabs fewer.
std::optional<std::u16string> OutdentLinesText(std::u16string_view lines, int spaces);
