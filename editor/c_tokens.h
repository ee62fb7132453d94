#pragma once
// C source split into the kinds of text the code view colours. Portable.
//
// Scanning starts at a line start in a known state and may stop at any line start, so that a
// view of some lines needs only the state where its first line starts; ScanStateCache keeps
// that state at line starts spread through the text, so finding it costs about the same
// whatever the text's length.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

enum class TokenKind : std::uint8_t {
    Keyword,
    Type,
    Preprocessor,
    String,  // string literals, character constants and the header name of #include
    Comment,
    Number,
};

struct CodeToken {
    std::size_t start;
    std::size_t length;
    TokenKind kind;
    bool operator==(const CodeToken&) const = default;
};

// What a line starting here continues: a block comment, or (through a backslash at the end of
// the line before) a line comment, a string, a character constant or a preprocessor line.
enum class ScanMode : std::uint8_t { Code, BlockComment, LineComment, String, Character };

struct ScanState {
    ScanMode mode = ScanMode::Code;
    bool directive = false;  // within a preprocessor line
    bool operator==(const ScanState&) const = default;
};

// Scans text from `from` (a line start, in state `state`) to `to` (a line start or the text's
// end), appends the coloured tokens to `tokens` when given, in order and without overlap, and
// returns the state at `to`. Everything not in a token is drawn in the text colour. Line breaks
// are LF or CR LF.
ScanState ScanCode(std::u16string_view text, std::size_t from, std::size_t to, ScanState state,
                   std::vector<CodeToken>* tokens);

// A line start, its line number (from 1) and the state there.
struct LineStartState {
    std::size_t offset = 0;
    std::size_t line = 1;
    ScanState state = {};
};

// The states at the first line start of every span of kCheckpointSpan characters, found when
// first needed and kept until the text before them changes.
class ScanStateCache {
public:
    static constexpr std::size_t kCheckpointSpan = 4096;

    // The text changed at `offset` or after it.
    void Forget(std::size_t offset);
    void Clear()
    {
        checkpoints_.clear();
        complete_ = false;
    }

    // The start of the line that holds `offset` (the text's end counts as on its last line).
    LineStartState LineStartAt(std::u16string_view text, std::size_t offset);

    std::size_t CheckpointCount() const { return checkpoints_.size(); }

private:
    std::vector<LineStartState> checkpoints_;
    bool complete_ = false;  // no line starts after the last checkpoint
};

// The number of lines of a text: one more than its line breaks.
std::size_t LineCountOf(std::u16string_view text);
