#include "output/terminal_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Shown {
    bool cleared = false;
    std::vector<std::u16string> scrolled;
    std::vector<std::u16string> screen;
    bool operator==(const Shown&) const = default;
};

Shown Feed(const std::vector<std::string_view>& pieces, int columns, int rows)
{
    TerminalScreen screen(columns, rows);
    Shown shown;
    for (std::string_view piece : pieces) {
        screen.Feed(piece);
        TerminalScreen::Scrolled scrolled = screen.TakeScrolled();
        if (scrolled.cleared) {
            shown.cleared = true;
            shown.scrolled.clear();
        }
        shown.scrolled.insert(shown.scrolled.end(), scrolled.lines.begin(), scrolled.lines.end());
    }
    shown.screen = screen.ScreenLines();
    return shown;
}

void PrintTo(const Shown& shown, std::ostream* out)
{
    auto lines = [&](const std::vector<std::u16string>& all) {
        for (const std::u16string& line : all) {
            *out << " [";
            for (char16_t c : line)
                *out << (c < 0x80 ? static_cast<char>(c) : '?');
            *out << "]";
        }
    };
    *out << (shown.cleared ? "cleared;" : "") << " scrolled:";
    lines(shown.scrolled);
    *out << "; screen:";
    lines(shown.screen);
}

// Every sequence a console writes, as whole output and split into two reads at every byte:
// a sequence or a character cut between reads must come out the same.
TEST(TerminalScreen, ShowsWhatAConsoleShowsHoweverTheOutputIsSplit)
{
    struct Case {
        const char* what;
        std::string_view output;
        int columns;
        int rows;
        Shown expected;
    };
    const Case cases[] = {
        {"text and line ends", "ab\r\ncd", 10, 4, {false, {}, {u"ab", u"cd"}}},
        {"a prompt keeps its blank up to the cursor", "Podaj:\x1b[K\x1b[1C", 20, 4, {false, {}, {u"Podaj: "}}},
        {"UTF-8 from the console", "\xc5\x82\xc4\x85ka \xe2\x82\xac \xf0\x9f\x98\x80", 20, 2,
         {false, {}, {u"łąka € \U0001F600"}}},
        {"bytes 0x80-0x9F as characters stay text", "\xc2\x88\xc2\x9b[K", 10, 2, {false, {}, {u"\u0088\u009b[K"}}},
        {"invalid UTF-8 shows replacement characters", "a\xff\xc5z\xed\xa0\x80", 10, 2,
         {false, {}, {u"a\uFFFD\uFFFDz\uFFFD"}}},
        {"CR overwrites, backspace moves back", "abcd\rx\by\b\bz", 10, 2, {false, {}, {u"zbcd"}}},
        {"tab to the next stop, never past the last column", "a\tb\t\t\tc", 20, 2, {false, {}, {u"a       b          c"}}},
        {"erase to the end of the line", "abcdef\r\x1b[2C\x1b[K", 10, 2, {false, {}, {u"ab"}}},
        {"erase to the start and the whole line", "abcdef\x1b[3D\x1b[1K\r\nxyz\x1b[2K", 10, 3,
         {false, {}, {u"    ef", u"   "}}},
        {"erase n characters stays in place", "abcdef\r\x1b[1C\x1b[3Xg", 10, 2, {false, {}, {u"ag  ef"}}},
        {"a blank as Wine's console writes it", "a\x1b[K\x1b[1Cb", 10, 2, {false, {}, {u"a b"}}},
        {"cursor position, clamped to the screen", "\x1b[2;3Hx\x1b[9;99Hy\x1b[1;1Hz", 5, 3,
         {false, {}, {u"z", u"  x", u"    y"}}},
        {"cursor up, down, column and row", "line1\r\nline2\x1b[A\x1b[2GX\x1b[BY\x1b[1dZ\x1b[5`W", 10, 3,
         {false, {}, {u"lXnZW", u"liYe2"}}},
        {"insert and delete characters", "abcdef\r\x1b[2@\x1b[3C\x1b[P", 10, 2, {false, {}, {u"  acdef"}}},
        {"colours, cursor visibility, title and charset dropped",
         "\x1b[31;1mred\x1b[0m \x1b[?25lx\x1b[?25h\x1b]0;Tytu\xc5\x82\x07y\x1b]2;t\x1b\\z\x1b(B!\x1b[>0c", 20, 2,
         {false, {}, {u"red xyz!"}}},
        {"a lone ESC before text drops one character", "a\x1b" "bc", 10, 2, {false, {}, {u"ac"}}},
        {"lines scrolled off stay", "1\r\n2\r\n3\r\n4", 5, 2, {false, {u"1", u"2"}, {u"3", u"4"}}},
        {"cls as a console writes it clears what scrolled off",
         "1\r\n2\r\n3\r\n\x1b[H\x1b[K\r\n\x1b[K\x1b[2;1H\x1b[Hpo", 5, 2, {true, {}, {u"po"}}},
        {"ESC[2J clears", "1\r\n2\r\n3\x1b[2J\x1b[Hpo", 5, 2, {true, {}, {u"po"}}},
        {"going home and printing is no cls", "1\r\n2\r\n3\x1b[Hx", 5, 2, {false, {u"1"}, {u"x", u"3"}}},
        {"a narrow line and one as wide as the screen", "0123456789\r\n\r\nab", 10, 5,
         {false, {}, {u"0123456789", u"", u"ab"}}},
        {"a line wider than the screen wraps and stays one line", "abcdefghijklm\r\nn", 5, 2,
         {false, {}, {u"abcdefghijklm", u"n"}}},
        {"a wrapped line that scrolled off", "abcdefghijkl\r\nx\r\ny", 5, 2, {false, {u"abcdefghijkl"}, {u"x", u"y"}}},
        {"overlong forms are no characters", "\xe0\x80\x80\xf0\x80\x80\x80.", 10, 2, {false, {}, {u"\uFFFD\uFFFD."}}},
        {"a wrapped line still on the screen", "x\r\nabcdefg", 5, 2, {false, {u"x"}, {u"abcdefg"}}},
        {"a full last column waits to wrap", "abcde", 5, 2, {false, {}, {u"abcde"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Feed({c.output}, c.columns, c.rows), c.expected);
        for (std::size_t split = 1; split < c.output.size(); ++split) {
            SCOPED_TRACE(split);
            ASSERT_EQ(Feed({c.output.substr(0, split), c.output.substr(split)}, c.columns, c.rows), c.expected);
        }
    }
}

TEST(TerminalScreen, HandsOverScrolledLinesOnceAndACleanSlateAfterCls)
{
    TerminalScreen screen(8, 2);
    screen.Feed("a\r\nb\r\nc\r\n");
    TerminalScreen::Scrolled first = screen.TakeScrolled();
    EXPECT_FALSE(first.cleared);
    EXPECT_EQ(first.lines, (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_TRUE(screen.TakeScrolled().lines.empty());
    EXPECT_EQ(screen.ScreenLines(), (std::vector<std::u16string>{u"c", u""}));

    screen.Feed("\x1b[2J\x1b[H");
    screen.Feed("d");
    const TerminalScreen::Scrolled second = screen.TakeScrolled();
    EXPECT_TRUE(second.cleared);
    EXPECT_TRUE(second.lines.empty());
    EXPECT_EQ(screen.ScreenLines(), (std::vector<std::u16string>{u"d"}));
    EXPECT_FALSE(screen.TakeScrolled().cleared);
}

}  // namespace
