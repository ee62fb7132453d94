// The scans behind Enter over any text and caret position: the line start is just after the
// last LF before the caret (or 0) and never past it, the indent is a run of spaces and tabs
// that ends at something else, and the inserted break is CR LF and that many spaces.

#include "editor/auto_indent.h"

#include <limits>

#include "fuzz/fuzz_support.h"

namespace {

constexpr std::u16string_view kAlphabet = u"  \n\r\ta";

void CheckLineStart(std::u16string_view text, std::size_t position)
{
    const std::size_t end = std::min(position, text.size());
    const std::size_t start = LineStartBefore(text, position);
    Require(start <= end, "the line starts at or before the caret");
    Require(start == 0 || text[start - 1] == u'\n', "a line starts after an LF or at the text's start");
    Require(text.substr(start, end - start).find(u'\n') == std::u16string_view::npos,
            "no LF lies between the line's start and the caret");
}

void CheckLeadingSpaces(std::u16string_view text, std::size_t lineStart)
{
    const std::size_t count = LeadingIndentLength(text, lineStart);
    if (lineStart >= text.size()) {
        Require(count == 0, "no spaces past the text's end");
        return;
    }
    Require(count <= text.size() - lineStart, "the run lies within the text");
    Require(text.substr(lineStart, count).find_first_not_of(u" \t") == std::u16string_view::npos,
            "the run holds only spaces and tabs");
    Require(lineStart + count == text.size() || (text[lineStart + count] != u' ' && text[lineStart + count] != u'\t'),
            "the run ends at something else");
}

void CheckLineBreak(std::size_t spaces)
{
    const std::u16string line = LineBreakWithSpaces(spaces);
    Require(line.starts_with(u"\r\n"), "the break is CR LF");
    Require(line.find_first_not_of(u' ', 2) == std::u16string::npos, "only spaces follow the break");
    if (spaces <= 1 << 16)
        Require(line.size() == 2 + spaces, "the break carries every space");
    else
        Require(line.size() == 2, "a break too long to make is CR LF alone");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t position = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::size_t>(0, 256)
                                                     : input.ConsumeIntegral<std::size_t>();
    // Space counts that can be built, and those too long for any string.
    const std::size_t spaces = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::size_t>(0, 1024)
                                                   : std::numeric_limits<std::size_t>::max() - input.ConsumeIntegral<std::uint8_t>();
    const long long prefixWidth = input.ConsumeIntegral<long long>();
    const long long spaceWidth = input.ConsumeIntegral<long long>();
    const std::u16string text = ConsumeRestAsText(input, kAlphabet);

    CheckLineStart(text, position);
    CheckLeadingSpaces(text, position);
    CheckLeadingSpaces(text, LineStartBefore(text, position));
    CheckLineBreak(spaces);

    const std::size_t fit = SpacesThatFit(prefixWidth, spaceWidth);
    if (prefixWidth <= 0 || spaceWidth <= 0) {
        Require(fit == 0, "nothing fits a width that is not positive");
    } else {
        const auto prefix = static_cast<unsigned long long>(prefixWidth);
        const auto space = static_cast<unsigned long long>(spaceWidth);
        Require(fit * space <= prefix && prefix - fit * space < space, "as many whole spaces as fit");
    }
    return 0;
}
