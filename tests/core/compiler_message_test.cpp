#include "output/compiler_message.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

constexpr std::size_t kLargest = std::numeric_limits<std::size_t>::max();

TEST(CompilerMessage, LinesThatPointIntoTheSource)
{
    struct Case {
        std::u16string_view line;
        std::optional<SourcePosition> expected;
    };
    const Case cases[] = {
        {u"main.c:12:5: error: expected ';' before 'return'", SourcePosition{12, 5}},
        {u"main.c:7: warning: old style", SourcePosition{7, 1}},
        {u"C:\\kurs\\main.c:7:1: warning: unused variable", SourcePosition{7, 1}},
        {u"C:/kurs/main.c:30:14: note: declared here", SourcePosition{30, 14}},
        {u"D:\\moje programy\\main.c:3:2: error: x", SourcePosition{3, 2}},
        {u"main.c:4:1:", SourcePosition{4, 1}},
        {u"main.c:4:0: error: x", SourcePosition{4, 1}},
        {u"main.c:99999999999999999999999:1: error: x", SourcePosition{kLargest, 1}},
        {u"main.c:5:99999999999999999999999: error: x", SourcePosition{5, kLargest}},
        {u"main.c: In function 'main':", std::nullopt},
        {u"collect2.exe: error: ld returned 1 exit status", std::nullopt},
        {u"   12 |     return 0", std::nullopt},
        {u"      |     ^~~~~~", std::nullopt},
        {u":12:5: error: no file", std::nullopt},
        {u"main.c:0:3: error: line zero", std::nullopt},
        {u"main.c:12:5 error: no colon after the column", std::nullopt},
        {u"main.c:12x: error", std::nullopt},
        {u"started at 12:30:45 today", std::nullopt},
        {u"C:\\x\\ld.exe: main.o:main.c:(.text+0x1e): undefined reference to `foo'", std::nullopt},
        {u"", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<SourcePosition> parsed = ParseCompilerMessage(c.line);
        const std::string shown(c.line.begin(), c.line.end());
        ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << shown;
        if (parsed) {
            EXPECT_EQ(parsed->line, c.expected->line) << shown;
            EXPECT_EQ(parsed->column, c.expected->column) << shown;
        }
    }
}

TEST(CompilerMessage, LineAroundAnOffset)
{
    const std::u16string_view text = u"first\r\nmain.c:2:1: error\r\nlast";
    EXPECT_EQ(LineAround(text, 0), u"first");
    EXPECT_EQ(LineAround(text, 5), u"first");
    EXPECT_EQ(LineAround(text, 7), u"main.c:2:1: error");
    EXPECT_EQ(LineAround(text, 15), u"main.c:2:1: error");
    EXPECT_EQ(LineAround(text, text.size()), u"last");
    EXPECT_EQ(LineAround(text, 1000), u"last");
}

TEST(CompilerMessage, OffsetOfLineAndColumnStaysInsideTheText)
{
    const std::u16string_view text = u"int a;\r\n\r\nint main(void)\nreturn 0;";
    struct Case {
        SourcePosition position;
        std::size_t offset;
    };
    const Case cases[] = {
        {{1, 1}, 0},  {{1, 5}, 4},   {{1, 50}, 6},          // past the end of the line: its end
        {{2, 1}, 8},  {{2, 3}, 8},   {{3, 4}, 13},          {{3, kLargest}, 24},
        {{4, 1}, 25}, {{4, 9}, 33},  {{kLargest, 2}, 26},   // past the last line: the last line
    };
    for (const Case& c : cases)
        EXPECT_EQ(OffsetOfPosition(text, c.position), c.offset) << c.position.line << ":" << c.position.column;
    EXPECT_EQ(OffsetOfPosition(u"", {3, 3}), 0u);
}

// The compiler counts a tab as reaching the next multiple of 8; a character of two units is one.
TEST(CompilerMessage, ColumnsCountTabsAsTheCompilerShowsThem)
{
    const std::u16string_view text = u"\tx = 1;\r\n  \ty;\r\nab\tc\r\n\U0001F600z";
    struct Case {
        SourcePosition position;
        std::size_t offset;
    };
    const Case cases[] = {
        {{1, 9}, 1},   // x after a leading tab
        {{1, 11}, 3},  // "=" two columns on
        {{2, 9}, 12},  // y after two spaces and a tab
        {{3, 9}, 19},  // c after "ab" and a tab
        {{3, 5}, 19},  // inside the tab's width: the character after it
        {{4, 2}, 24},  // z after a character of two units
    };
    for (const Case& c : cases)
        EXPECT_EQ(OffsetOfPosition(text, c.position), c.offset) << c.position.line << ":" << c.position.column;
}

TEST(CompilerMessage, TheFileAMessageNames)
{
    EXPECT_EQ(ParseCompilerMessage(u"C:\\kurs\\main.c:7:1: warning: x")->file, u"C:\\kurs\\main.c");
    struct Case {
        std::u16string_view messageFile;
        std::u16string_view path;
        bool same;
    };
    const Case cases[] = {
        {u"main.c", u"C:\\kurs\\main.c", true},
        {u"MAIN.C", u"C:\\kurs\\main.c", true},
        {u"src/main.c", u"C:\\kurs\\main.c", true},    // relative: the last part
        {u"ŻÓŁW.c", u"C:\\kurs\\żółw.c", true},
        {u"C:/kurs/MAIN.c", u"c:\\kurs\\main.c", true},  // absolute: whole
        {u"C:\\inny\\main.c", u"C:\\kurs\\main.c", false},
        {u"stdio.h", u"C:\\kurs\\main.c", false},
        {u"other.c", u"main.c", false},
        {u"main.c", u"", false},
        {u"main.cpp", u"main.c", false},
    };
    for (const Case& c : cases) {
        const std::string shown(c.messageFile.begin(), c.messageFile.end());
        EXPECT_EQ(MessageNamesFile(c.messageFile, c.path), c.same) << shown;
    }
}

TEST(CompilerMessage, ErrorsAndWarningsToldApart)
{
    struct Case {
        std::u16string_view line;
        MessageSeverity expected;
    };
    const Case cases[] = {
        {u"main.c:12:5: error: expected ';' before 'return'", MessageSeverity::Error},
        {u"main.c:1:10: fatal error: nie.h: No such file or directory", MessageSeverity::Error},
        {u"main.c:7:3: warning: unused variable 'x' [-Wunused-variable]", MessageSeverity::Warning},
        {u"main.c:7: warning: old style", MessageSeverity::Warning},
        {u"main.c:7:3: warning: format 'error: %d' expects", MessageSeverity::Warning},
        {u"main.c:30:14: note: declared here", MessageSeverity::Other},
        {u"collect2.exe: error: ld returned 1 exit status", MessageSeverity::Other},
        {u"main.c: In function 'main':", MessageSeverity::Other},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SeverityOfCompilerMessage(c.line), c.expected) << std::string(c.line.begin(), c.line.end());
}

}  // namespace
