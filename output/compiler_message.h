#pragma once
// From a compiler's message line ("main.c:12:5: error: ...") to a place in the source. Portable.

#include <cstddef>
#include <optional>
#include <string_view>

// Line and column, both counted from 1, the column as the compiler counts it: a tab moves to
// the next multiple of 8. Numbers too large to hold are held as the largest. `file` is the
// name the message gives.
struct SourcePosition {
    std::size_t line = 1;
    std::size_t column = 1;
    std::u16string_view file = {};
};

// The position a line of the form FILE:LINE:COLUMN: ... or FILE:LINE: ... points at;
// nothing for any other line.
std::optional<SourcePosition> ParseCompilerMessage(std::u16string_view line);

// The whole line (without its line break) that holds the character at offset.
std::u16string_view LineAround(std::u16string_view text, std::size_t offset);

// The character offset of a position in text whose lines end in LF or CR LF. A line past
// the text means the last line; a column past a line's end means its end.
std::size_t OffsetOfPosition(std::u16string_view text, SourcePosition position);

// Whether a message's file name names the file at `path`, compared without case: a relative
// name by its last part, an absolute one whole.
bool MessageNamesFile(std::u16string_view messageFile, std::u16string_view path);

enum class MessageSeverity { Error, Warning, Other };

// Of a message line that names a position: an error (a fatal one too), a warning, or anything
// else (a note, or no message at all).
MessageSeverity SeverityOfCompilerMessage(std::u16string_view line);
