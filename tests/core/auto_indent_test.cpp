#include "editor/auto_indent.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// AddressSanitizer ends the process on an allocation it cannot make instead of throwing.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFailedAllocationThrows = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kFailedAllocationThrows = false;
#else
constexpr bool kFailedAllocationThrows = true;
#endif
#else
constexpr bool kFailedAllocationThrows = true;
#endif

TEST(AutoIndent, IndentOfCaretLine)
{
    struct Case {
        const char* name;
        std::u16string_view text;
        std::size_t caret;
        std::size_t lineStart;
        std::size_t indent;  // leading spaces and tabs
    };
    const std::vector<Case> cases = {
        {"four spaces, caret at end", u"    ", 4, 0, 4},
        {"caret between two spaces", u"  word", 1, 0, 2},
        {"tab indent", u"\tx", 2, 0, 1},
        {"spaces then tab", u"  \t x", 5, 0, 4},
        {"second crlf line", u"ab\r\n    x", 9, 4, 4},
        {"caret right after lf", u"ab\r\n  x", 4, 4, 2},
        {"caret on the cr", u"  ab\r\n x", 4, 0, 2},
        {"lone lf ends a line", u"a\n   b", 6, 2, 3},
        {"caret past end", u"x\r\n y", 99, 3, 1},
        {"empty last line", u"  a\r\n", 5, 5, 0},
    };
    for (const Case& c : cases) {
        const std::size_t start = LineStartBefore(c.text, c.caret);
        EXPECT_EQ(start, c.lineStart) << c.name;
        EXPECT_EQ(LeadingIndentLength(c.text, start), c.indent) << c.name;
    }
}

TEST(AutoIndent, LineBreakWithSpaces)
{
    EXPECT_EQ(LineBreakWithSpaces(0), u"\r\n");
    EXPECT_EQ(LineBreakWithSpaces(3), u"\r\n   ");
    EXPECT_EQ(LineBreakWithSpaces(1000).size(), 1002u);
    // An indent too long to build, past what a string can hold or what memory can give,
    // still ends the line rather than escaping from the key handler.
    EXPECT_EQ(LineBreakWithSpaces(SIZE_MAX), u"\r\n");
    if (kFailedAllocationThrows) {
        EXPECT_EQ(LineBreakWithSpaces(std::size_t{1} << 60), u"\r\n");
    }
}

TEST(AutoIndent, SpacesThatFit)
{
    struct Case {
        long long prefix;
        long long space;
        std::size_t expected;
    };
    const std::vector<Case> cases = {
        {32, 8, 4}, {31, 8, 3}, {7, 8, 0}, {0, 8, 0}, {-16, 8, 0}, {16, 0, 0}, {16, -8, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpacesThatFit(c.prefix, c.space), c.expected) << c.prefix << "/" << c.space;
}

// Tabs reach to the next stop; runs between them are measured as they are (here 7 a character).
TEST(AutoIndent, WidthWithTabsExpanded)
{
    const auto measure = [](std::u16string_view run) { return 7LL * static_cast<long long>(run.size()); };
    struct Case {
        std::u16string_view text;
        long long expected;
    };
    const std::vector<Case> cases = {
        {u"", 0},          {u"abc", 21},          {u"\t", 56},        {u"\t\t", 112},
        {u"ab\t", 56},     {u"ab\tc", 63},        {u"12345678\t", 112}, // a full stop's width reaches the next
        {u"\tx\ty", 119},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandedWidth(c.text, 56, measure), c.expected) << std::u16string(c.text).size();
    EXPECT_EQ(ExpandedWidth(u"a\tb", 0, measure), 14) << "no tab stops: a tab takes no room";
}

TEST(AutoIndent, LineAndColumnFromOne)
{
    struct Case {
        const char* name;
        std::u16string_view text;
        std::size_t position;
        LineColumn expected;
    };
    const std::vector<Case> cases = {
        {"empty text", u"", 0, {1, 1}},
        {"first line", u"abc", 2, {1, 3}},
        {"after CR LF", u"ab\r\ncd", 5, {2, 2}},
        {"on the CR", u"ab\r\ncd", 2, {1, 3}},
        {"tab counts one", u"\t\tx", 2, {1, 3}},
        {"lone LF", u"a\nb\nc", 4, {3, 1}},
        {"past the end", u"a\r\nb", 99, {2, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LineColumnAt(c.text, c.position), c.expected) << c.name;
}

TEST(AutoIndent, LineBreakWithIndentKeepsTabs)
{
    EXPECT_EQ(LineBreakWithIndent(u""), u"\r\n");
    EXPECT_EQ(LineBreakWithIndent(u"\t  \t"), u"\r\n\t  \t");
}

} // namespace
