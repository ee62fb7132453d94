#include "editor/c_tokens.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Each coloured token as its text and kind, for reading a case at a glance.
struct Piece {
    std::u16string text;
    TokenKind kind;
    bool operator==(const Piece&) const = default;
};

std::vector<Piece> PiecesOf(std::u16string_view text, ScanState state = {})
{
    std::vector<CodeToken> tokens;
    ScanCode(text, 0, text.size(), state, &tokens);
    std::vector<Piece> pieces;
    for (const CodeToken& token : tokens)
        pieces.push_back({std::u16string(text.substr(token.start, token.length)), token.kind});
    return pieces;
}

void PrintTo(const Piece& piece, std::ostream* out)
{
    *out << "{\"" << std::string(piece.text.begin(), piece.text.end()) << "\", " << static_cast<int>(piece.kind) << "}";
}

constexpr TokenKind K = TokenKind::Keyword;
constexpr TokenKind T = TokenKind::Type;
constexpr TokenKind P = TokenKind::Preprocessor;
constexpr TokenKind S = TokenKind::String;
constexpr TokenKind C = TokenKind::Comment;
constexpr TokenKind N = TokenKind::Number;

TEST(CTokens, EachKindOfText)
{
    struct Case {
        std::u16string_view text;
        std::vector<Piece> expected;
    };
    const Case cases[] = {
        {u"int main(void) { return 0; }", {{u"int", T}, {u"void", T}, {u"return", K}, {u"0", N}}},
        {u"unsigned long x = 0x1Fu + 1.5e-3f + .5 + 1'000;",
         {{u"unsigned", T}, {u"long", T}, {u"0x1Fu", N}, {u"1.5e-3f", N}, {u".5", N}, {u"1'000", N}}},
        {u"size_t n; FILE *f; integer x; int2 y;", {{u"size_t", T}, {u"FILE", T}}},
        {u"x1 = y2 + a.b3;", {}},
        {u"while (i) if (j) break; else goto end;",
         {{u"while", K}, {u"if", K}, {u"break", K}, {u"else", K}, {u"goto", K}}},
        {u"printf(\"a\\\"b\", 'c', '\\'', L\"w\", u8\"x\");",
         {{u"\"a\\\"b\"", S}, {u"'c'", S}, {u"'\\''", S}, {u"L\"w\"", S}, {u"u8\"x\"", S}}},
        {u"L = u8 + U;", {}},
        {u"x = 1; // int here\r\ny", {{u"1", N}, {u"// int here", C}}},
        {u"a /* int */ b /**/ c", {{u"/* int */", C}, {u"/**/", C}}},
        {u"s = \"// not a comment\"; c = '/*';", {{u"\"// not a comment\"", S}, {u"'/*'", S}}},
        {u"#include <stdio.h>\n", {{u"#include ", P}, {u"<stdio.h>", S}}},
        {u"  #  include   <sys/types.h> // why\n",
         {{u"  #  include   ", P}, {u"<sys/types.h>", S}, {u" ", P}, {u"// why", C}}},
        {u"#include \"mine.h\"\n", {{u"#include ", P}, {u"\"mine.h\"", S}}},
        {u"#define N 10 /* ten */\nint", {{u"#define N 10 ", P}, {u"/* ten */", C}, {u"int", T}}},
        {u"#if x < 3 && y > 2\n", {{u"#if x < 3 && y > 2", P}}},
        {u"a < b; # not at the start", {}},
        {u"zażółć int", {{u"int", T}}},
        {u"intżółw", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PiecesOf(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
}

TEST(CTokens, TextThatReachesOverLines)
{
    struct Case {
        std::u16string_view text;
        std::vector<Piece> expected;
        ScanState end;
    };
    const ScanState code = {};
    const Case cases[] = {
        // Comments over lines, and lines that begin inside one.
        {u"/* one\r\ntwo */ int", {{u"/* one", C}, {u"two */", C}, {u"int", T}}, code},
        {u"x /* open\nint\n", {{u"/* open", C}, {u"int", C}}, {ScanMode::BlockComment, false}},
        // Unterminated strings and characters end with their line.
        {u"s = \"open\nint", {{u"\"open", S}, {u"int", T}}, code},
        {u"c = 'x\nint", {{u"'x", S}, {u"int", T}}, code},
        // A backslash at the line's end carries the line comment, string and directive on.
        {u"// a \\\nint\nint", {{u"// a ", C}, {u"int", C}, {u"int", T}}, code},
        {u"\"a\\\r\nint\" int", {{u"\"a", S}, {u"int\"", S}, {u"int", T}}, code},
        {u"#define M(x) \\\n  (x + 1)\nint", {{u"#define M(x) ", P}, {u"  (x + 1)", P}, {u"int", T}}, code},
        {u"#define A \\\n", {{u"#define A ", P}}, {ScanMode::Code, true}},
        {u"// tail \\\n", {{u"// tail ", C}}, {ScanMode::LineComment, false}},
        // A comment inside a directive: the directive goes on after it, on the same line only.
        {u"#define B /* x\ny */ 2\nint", {{u"#define B ", P}, {u"/* x", C}, {u"y */", C}, {u" 2", P}, {u"int", T}},
         code},
        // A backslash that is not the line's last character splices nothing.
        {u"// a \\ b\nint", {{u"// a \\ b", C}, {u"int", T}}, code},
        {u"", {}, code},
    };
    for (const Case& c : cases) {
        const auto where = std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(PiecesOf(c.text), c.expected) << where;
        EXPECT_EQ(ScanCode(c.text, 0, c.text.size(), {}, nullptr), c.end) << where;
    }
}

TEST(CTokens, ALineStartingInsideTextOpenedAbove)
{
    struct Case {
        ScanState state;
        std::u16string_view line;
        std::vector<Piece> expected;
    };
    const Case cases[] = {
        {{ScanMode::BlockComment, false}, u"int */ int", {{u"int */", C}, {u"int", T}}},
        {{ScanMode::BlockComment, false}, u"int x;", {{u"int x;", C}}},
        {{ScanMode::LineComment, false}, u"int", {{u"int", C}}},
        {{ScanMode::String, false}, u"a\" int", {{u"a\"", S}, {u"int", T}}},
        {{ScanMode::Character, false}, u"b' 1", {{u"b'", S}, {u"1", N}}},
        {{ScanMode::Code, true}, u"  int 1", {{u"  int 1", P}}},
        {{ScanMode::Code, true}, u"#include <a.h>", {{u"#include <a.h>", P}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PiecesOf(c.line, c.state), c.expected) << std::string(c.line.begin(), c.line.end());
}

// A text of many lines with comments, strings and directives over lines, for comparing the
// cache with a scan from the text's start.
std::u16string MixedSource(unsigned seed, std::size_t lines)
{
    static constexpr std::u16string_view kLines[] = {
        u"int x = 1;", u"/* open", u"still inside", u"close */ int y;", u"// line \\", u"carried on",
        u"#define M \\", u"  (1 + 2)", u"s = \"a \\", u"b\";", u"", u"c = 'q';", u"x /* one */ y",
    };
    std::mt19937 random(seed);
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text += kLines[random() % std::size(kLines)];
        text += random() % 2 ? u"\r\n" : u"\n";
    }
    return text;
}

LineStartState FromTheStart(std::u16string_view text, std::size_t offset)
{
    LineStartState expected;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == u'\n') {
            expected.offset = i + 1;
            ++expected.line;
        }
    }
    expected.state = ScanCode(text, 0, expected.offset, {}, nullptr);
    return expected;
}

TEST(ScanStateCache, AgreesWithAScanFromTheStartAfterEdits)
{
    std::u16string text = MixedSource(7, 6000);
    ScanStateCache cache;
    std::mt19937 random(11);
    std::size_t mostCheckpoints = 0;
    for (int round = 0; round < 60; ++round) {
        for (int probe = 0; probe < 5; ++probe) {
            const std::size_t offset = random() % (text.size() + 1);
            const LineStartState found = cache.LineStartAt(text, offset);
            const LineStartState expected = FromTheStart(text, offset);
            ASSERT_EQ(found.offset, expected.offset) << round << " at " << offset;
            ASSERT_EQ(found.line, expected.line) << round << " at " << offset;
            ASSERT_EQ(found.state, expected.state) << round << " at " << offset;
        }
        mostCheckpoints = std::max(mostCheckpoints, cache.CheckpointCount());
        // An edit: a comment opener or closer, a splice, or a line break, told to the cache.
        static constexpr std::u16string_view kEdits[] = {u"/*", u"*/", u"\\", u"\n", u"\"", u"x"};
        const std::size_t at = random() % (text.size() + 1);
        const std::size_t removed = std::min<std::size_t>(random() % 3, text.size() - at);
        text.replace(at, removed, kEdits[random() % std::size(kEdits)]);
        cache.Forget(at);
    }
    EXPECT_GT(mostCheckpoints, 5u);
}

TEST(ScanStateCache, LongLinesAndTheTextsEnd)
{
    const std::u16string text = u"/* " + std::u16string(3 * ScanStateCache::kCheckpointSpan, u'a') + u"\nint\n" +
                                std::u16string(2 * ScanStateCache::kCheckpointSpan, u'b');
    ScanStateCache cache;
    const LineStartState last = cache.LineStartAt(text, text.size());
    EXPECT_EQ(last.line, 3u);
    EXPECT_EQ(last.state.mode, ScanMode::BlockComment);
    const LineStartState second = cache.LineStartAt(text, text.find(u"int"));
    EXPECT_EQ(second.offset, text.find(u"int"));
    EXPECT_EQ(second.line, 2u);
    EXPECT_EQ(cache.LineStartAt(text, 5).offset, 0u);
    EXPECT_EQ(LineCountOf(text), 3u);
    EXPECT_EQ(LineCountOf(u""), 1u);
}

}  // namespace
