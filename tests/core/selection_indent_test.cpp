#include "editor/selection_indent.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kNoLimit = SIZE_MAX;

struct Case {
    const char* name;
    std::u16string_view selection;
    int spaces;
    std::u16string_view expected;
};

TEST(SelectionIndent, IndentAddsSpacesAfterEveryLineBreakInside)
{
    const std::vector<Case> cases = {
        {"three whole lines: the first stays", u"one\r\ntwo\r\nthree", 4, u"one\r\n    two\r\n    three"},
        {"starting on the break above: every line", u"\r\none\r\ntwo", 2, u"\r\n  one\r\n  two"},
        {"ending after a break: the next line's start", u"one\r\n", 3, u"one\r\n   "},
        {"empty lines gain spaces too", u"a\r\n\r\nb", 1, u"a\r\n \r\n b"},
        {"lone LF is an ordinary character", u"a\nb\nc", 4, u"a\nb\nc"},
        {"lone CR is an ordinary character", u"a\rb\r", 4, u"a\rb\r"},
        {"LF CR is not a break", u"a\n\rb", 4, u"a\n\rb"},
        {"n = 0 changes nothing", u"a\r\nb", 0, u"a\r\nb"},
        {"negative n changes nothing", u"a\r\nb", -5, u"a\r\nb"},
        {"no break at all", u"single line", 8, u"single line"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IndentSelectionText(c.selection, c.spaces, kNoLimit), std::u16string(c.expected)) << c.name;
}

TEST(SelectionIndent, OutdentRemovesUpToNSpacesAfterEveryLineBreakInside)
{
    const std::vector<Case> cases = {
        {"two spaces: both go", u"a\r\n  b", 4, u"a\r\nb"},
        {"six spaces: four go", u"a\r\n      b", 4, u"a\r\n  b"},
        {"a tab counts as one", u"a\r\n\t  b", 4, u"a\r\nb"},
        {"spaces then tab", u"a\r\n  \t\t\tb", 4, u"a\r\n\tb"},
        {"first line keeps its indent", u"    a\r\n    b", 4, u"    a\r\nb"},
        {"ending after a break: the next line is outside", u"a\r\n", 4, u"a\r\n"},
        {"selection ends inside the spaces", u"a\r\n   ", 2, u"a\r\n "},
        {"CR as the last character", u"a  \r", 4, u"a  \r"},
        {"lone LF is an ordinary character", u"a\n  b", 4, u"a\n  b"},
        {"n = 0 changes nothing", u"a\r\n  b", 0, u"a\r\n  b"},
        {"negative n changes nothing", u"a\r\n  b", -1, u"a\r\n  b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OutdentSelectionText(c.selection, c.spaces), std::u16string(c.expected)) << c.name;
}

TEST(SelectionIndent, LinesTheSelectionTouches)
{
    // Three lines: "  one" at 0, "two" at 7, "three" at 12.
    constexpr std::u16string_view text = u"  one\r\ntwo\r\nthree";
    struct Span {
        const char* name;
        std::size_t start, end;
        LineSpan expected;
    };
    const std::vector<Span> cases = {
        {"from Home of the second line", 7, 10, {7, 10}},
        {"from the end of the line before", 5, 10, {7, 10}},
        {"between CR and LF", 6, 10, {7, 10}},
        {"inside one line", 8, 9, {7, 9}},
        {"middle of the first line to the end of the text", 3, 17, {0, 17}},
        {"ending just after a break", 8, 12, {7, 12}},
        {"only the break before a line", 10, 12, {12, 12}},
        {"past the end", 14, 99, {12, 17}},
    };
    for (const Span& c : cases)
        EXPECT_EQ(LinesTouched(text, c.start, c.end), c.expected) << c.name;
}

TEST(SelectionIndent, EveryTouchedLineMoves)
{
    struct Lines {
        const char* name;
        std::u16string_view lines;
        int spaces;
        std::u16string_view indented;
        std::u16string_view outdented;
    };
    const std::vector<Lines> cases = {
        {"one line", u"ab", 2, u"  ab", u"ab"},
        {"two lines", u"  a\r\n\tb", 2, u"    a\r\n  \tb", u"a\r\nb"},
        {"a final break ends the last line", u"a\r\n", 3, u"   a\r\n", u"a\r\n"},
        {"an empty line", u"", 1, u" ", u""},
        {"outdent stops at text", u"  \t  x", 2, u"    \t  x", u"\t  x"},
        {"n = 0", u" a\r\n b", 0, u" a\r\n b", u" a\r\n b"},
    };
    for (const Lines& c : cases) {
        EXPECT_EQ(IndentLinesText(c.lines, c.spaces, kNoLimit), std::u16string(c.indented)) << c.name;
        EXPECT_EQ(OutdentLinesText(c.lines, c.spaces), std::u16string(c.outdented)) << c.name;
    }
    EXPECT_EQ(IndentLinesText(u"a\r\nb", 2, 8), u"  a\r\n  b");  // exactly at the limit
    EXPECT_FALSE(IndentLinesText(u"a\r\nb", 2, 7));
    EXPECT_FALSE(IndentLinesText(u"a", INT_MAX, 100));
}

// The size is counted from the breaks actually in the selection and checked before anything is
// made: a huge count on a short selection is either small enough to build or refused.
TEST(SelectionIndent, IndentSizeIsCountedAndBounded)
{
    EXPECT_EQ(IndentSelectionText(u"a\r\nb", 5, 9), u"a\r\n     b");  // exactly at the limit
    EXPECT_FALSE(IndentSelectionText(u"a\r\nb", 5, 8));
    EXPECT_FALSE(IndentSelectionText(u"a\r\nb\r\nc", INT_MAX, INT_MAX - 1));
    EXPECT_FALSE(IndentSelectionText(u"abc", 0, 2));                     // even unchanged text must fit
    // Without a break in the selection the count costs nothing, however large.
    EXPECT_EQ(IndentSelectionText(u"no breaks", INT_MAX, 100), u"no breaks");
}

}  // namespace

namespace {

// Each break followed by `spaces` more spaces, or by up to `spaces` fewer, the plain way.
std::u16string PlainShift(std::u16string_view text, int spaces, bool indent)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] != u'\r' || i + 1 == text.size() || text[i + 1] != u'\n')
            continue;
        out += text[++i];
        if (indent)
            out.append(static_cast<std::size_t>(spaces), u' ');
        for (int gone = 0; !indent && gone < spaces && i + 1 < text.size() && (text[i + 1] == u' ' || text[i + 1] == u'\t');
             ++gone)
            ++i;
    }
    return out;
}

TEST(SelectionIndent, LongSelectionsAgreeWithThePlainWay)
{
    // Lines of every length from a few characters, so breaks fall at every place of the blocks
    // the work is done in; long runs of spaces test outdent's limit.
    std::uint32_t seed = 7;
    for (std::size_t length : {64u, 100u, 1000u, 6000u}) {
        std::u16string text;
        while (text.size() < length) {
            seed = seed * 1103515245u + 12345u;
            const std::size_t pick = (seed >> 16) % 8;
            text += pick < 4 ? std::u16string_view(u" ") : pick < 5 ? std::u16string_view(u"\t") : pick < 7 ? std::u16string_view(u"\r\n") : std::u16string_view(u"x\r");
        }
        for (int spaces : {1, 4, 9, 20}) {
            EXPECT_EQ(IndentSelectionText(text, spaces, kNoLimit), PlainShift(text, spaces, true)) << length << ", " << spaces;
            EXPECT_EQ(OutdentSelectionText(text, spaces), PlainShift(text, spaces, false)) << length << ", " << spaces;
        }
    }
}

// The editor passes the selection as a view into its whole text: what lies past the view's end
// (more lines and spaces here) must neither be read into the result nor change it.
TEST(SelectionIndent, ASelectionIsAViewIntoALongerText)
{
    std::u16string whole;
    for (int line = 0; line < 12; ++line)
        whole += u"\r\n" + std::u16string(static_cast<std::size_t>(line % 5), u' ') + u"x";
    for (std::size_t end = 0; end <= whole.size(); ++end) {
        const std::u16string_view view = std::u16string_view(whole).substr(0, end);
        const std::u16string copy(view);
        EXPECT_EQ(OutdentSelectionText(view, 3), PlainShift(copy, 3, false)) << end;
        EXPECT_EQ(IndentSelectionText(view, 2, kNoLimit), PlainShift(copy, 2, true)) << end;
    }
}

}  // namespace
