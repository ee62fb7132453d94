#pragma once
// What a running command prints, on its way from the pipe to the output pane. Portable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The pane shows at most this much of one command's output; the rest is only counted.
constexpr std::size_t kShownOutputLimit = 4u * 1024 * 1024;

// Keeps the first `limit` bytes of a stream (zero bytes left out, so that what follows a
// zero still shows) and counts what did not fit.
class CappedOutput {
public:
    explicit CappedOutput(std::size_t limit = kShownOutputLimit) : limit_(limit) {}

    void Add(std::string_view bytes);

    // Hands over the bytes kept since the last call.
    std::string TakePending();

    std::uint64_t LeftOut() const { return leftOut_; }

private:
    std::size_t limit_;
    std::size_t kept_ = 0;
    std::uint64_t leftOut_ = 0;
    std::string pending_;
};

// The edit control's line wrapping takes time that grows with the square of a line's
// length, so a program printing without line breaks could freeze the window. Lines of the
// output are broken after this many characters.
constexpr std::size_t kLongestShownLine = 1024;

// Breaks long lines of a stream of text and writes a lone LF as CR LF, which every version of
// the edit control shows as a line break; remembers across calls how long the last line is and
// whether it ended with CR. A surrogate pair is one character and is never broken.
class LongLineBreaker {
public:
    // A line holds at least one character, or breaking would never get past the first.
    explicit LongLineBreaker(std::size_t longest = kLongestShownLine) : longest_(longest == 0 ? 1 : longest) {}
    std::u16string Apply(std::u16string_view text);

private:
    std::size_t longest_;
    std::size_t lineLength_ = 0;
    bool afterCr_ = false;
    bool afterHighSurrogate_ = false;
};

// How a code page builds characters from bytes, enough to tell where one ends.
struct ByteCharacterShape {
    enum class Kind { SingleByte, LeadBytes, Utf8 };
    Kind kind = Kind::SingleByte;
    std::array<bool, 256> isLeadByte{};  // for LeadBytes
};

// The length of the longest prefix of bytes that ends on a character boundary. The bytes
// must start on a boundary; what is left over belongs to the next read.
std::size_t CompleteCharacterBytes(std::string_view bytes, const ByteCharacterShape& shape);

// How one piece of output is decoded: as UTF-8 when it is valid UTF-8 holding at least one
// multi-byte sequence (a program printing the editor's own string literals), else from the OEM
// code page, which is the same for ASCII.
enum class PieceEncoding { Oem, Utf8 };

struct OutputPiece {
    std::string bytes;
    PieceEncoding encoding;
};

// Cuts a stream of output into pieces decided one by one: a piece is a line with its LF, at
// most `longest` bytes of a longer line, or what has arrived of a line so far (a prompt
// waiting for input). A character split between reads is held back until it is whole.
class LineDecider {
public:
    explicit LineDecider(const ByteCharacterShape& oemShape, std::size_t longest = kLongestShownLine)
        : oemShape_(oemShape), longest_(longest < 4 ? 4 : longest)
    {
    }

    // The pieces complete so far; at the end, whatever is held back goes too.
    std::vector<OutputPiece> Take(std::string_view bytes, bool atEnd);

private:
    ByteCharacterShape oemShape_;
    std::size_t longest_;
    std::string held_;
};

// The pane's closing lines.
std::u16string StoppedLine();
std::u16string LeftOutLine(std::uint64_t bytes);
// After a stop, when something still holds the output open; it ends with a line break only.
std::u16string LeftRunningLine();

// The line a command that ended by itself leaves: its exit code (exception codes in
// hexadecimal) and the seconds it took, with two decimals and a decimal comma.
std::u16string FinishedLine(std::uint32_t exitCode, std::uint64_t milliseconds);
