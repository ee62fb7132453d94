#pragma once
// What a running command prints, on its way from the pipe to the output pane. Portable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// Breaks long lines of a stream of text, remembering across calls how long the last line is.
class LongLineBreaker {
public:
    // A line holds at least one character, or breaking would never get past the first.
    explicit LongLineBreaker(std::size_t longest = kLongestShownLine) : longest_(longest == 0 ? 1 : longest) {}
    std::u16string Apply(std::u16string_view text);

private:
    std::size_t longest_;
    std::size_t lineLength_ = 0;
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

// The pane's closing lines.
std::u16string StoppedLine();
std::u16string LeftOutLine(std::uint64_t bytes);
