#include "search/text_search.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kNoLimit = SIZE_MAX;

TEST(TextSearch, FindNextStepsOnAndWraps)
{
    struct Case {
        const char* name;
        std::u16string_view text;
        std::u16string_view what;
        std::size_t selectionStart;
        std::vector<std::optional<std::size_t>> presses;  // each press starts where the last one selected
    };
    const std::vector<Case> cases = {
        {"abcabc from 0: second, then wrap to first", u"abcabc", u"abc", 0, {3, 0, 3}},
        {"aaaa steps by one, overlapping", u"aaaa", u"aa", 0, {1, 2, 0, 1}},
        {"single occurrence every time", u"int main()", u"main", 0, {4, 4, 4}},
        {"single occurrence at the start", u"main()", u"main", 0, {0, 0}},
        {"caret at the very end wraps", u"x = x + 1", u"x", 9, {0, 4, 0}},
        {"case matters", u"int main()", u"Main", 0, {std::nullopt}},
        {"not there", u"abc", u"abd", 1, {std::nullopt}},
        {"longer than the text", u"ab", u"abc", 0, {std::nullopt}},
        {"empty search text finds nothing", u"abc", u"", 0, {std::nullopt}},
        {"line breaks count as two", u"a\r\nb\r\nb", u"b", 0, {3, 6, 3}},
        {"a selection start beyond any size wraps", u"xab", u"ab", SIZE_MAX, {1, 1}},
    };
    for (const Case& c : cases) {
        std::size_t start = c.selectionStart;
        for (std::size_t press = 0; press < c.presses.size(); ++press) {
            const std::optional<std::size_t> found = FindNextOccurrence(c.text, c.what, start);
            EXPECT_EQ(found, c.presses[press]) << c.name << ", press " << press + 1;
            if (found)
                start = *found;
        }
    }
}

TEST(TextSearch, BackslashNIsTheOnlyEscape)
{
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"", u""},
        {u"\\n", u"\r\n"},
        {u";\\n", u";\r\n"},
        {u"a\\nb\\n", u"a\r\nb\r\n"},
        {u"\\", u"\\"},              // a lone backslash
        {u"ab\\", u"ab\\"},          // a backslash at the very end
        {u"\\\\n", u"\\\r\n"},       // a doubled backslash is two backslashes; the second escapes n
        {u"\\t\\N", u"\\t\\N"},      // nothing else is an escape, capital N included
        {u"n\\\\", u"n\\\\"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(replaceNewlineWithCRLF(text), std::u16string(expected)) << std::string(text.begin(), text.end());
}

TEST(TextSearch, ReplaceAll)
{
    struct Case {
        const char* name;
        std::u16string_view text;
        std::u16string_view from;  // already unescaped
        std::u16string_view to;
        std::optional<std::u16string_view> expected;
    };
    const std::vector<Case> cases = {
        {"line breaks removed, lines joined", u"a\r\nb\r\n\r\nc", u"\r\n", u"", u"abc"},
        {"a line break after every semicolon", u"int a;int b;", u";", u";\r\n", u"int a;\r\nint b;\r\n"},
        {"left to right, never overlapping", u"aaaaa", u"aa", u"b", u"bba"},
        {"what the replacement brings is not searched", u"ab", u"a", u"aa", u"aab"},
        {"from not found leaves the text as it was", u"hello", u"xyz", u"q", u"hello"},
        {"whole text replaced", u"abc", u"abc", u"", u""},
        {"case matters", u"Main main", u"main", u"f", u"Main f"},
        {"empty from changes nothing", u"abc", u"", u"x", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<std::u16string> result = ReplaceAllOccurrences(c.text, c.from, c.to, kNoLimit);
        ASSERT_EQ(result.has_value(), c.expected.has_value()) << c.name;
        if (result) {
            EXPECT_EQ(*result, *c.expected) << c.name;
        }
    }
}

TEST(TextSearch, ReplaceWithAMuchLongerTextIsSizedFromTheOccurrences)
{
    std::u16string text;
    for (int i = 0; i < 1000; ++i)
        text += u"x;";
    const std::u16string to(100, u'y');

    const std::optional<std::u16string> result = ReplaceAllOccurrences(text, u";", to, kNoLimit);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->size(), 1000u * 101u);
    for (std::size_t i = 0; i < result->size(); i += 101) {
        ASSERT_EQ(result->at(i), u'x') << i;
        ASSERT_EQ(result->substr(i + 1, 100), to) << i;
    }

    // A result longer than the editor can hold is refused rather than cut.
    EXPECT_EQ(ReplaceAllOccurrences(text, u";", to, 1000u * 101u), result);
    EXPECT_FALSE(ReplaceAllOccurrences(text, u";", to, 1000u * 101u - 1));
    EXPECT_FALSE(ReplaceAllOccurrences(u"abc", u"x", u"y", 2));
}

// Long texts from a few characters, so that occurrences fall at every place of the blocks the
// search works in, straddle them, and sit far apart or next to each other.
std::vector<std::u16string> TextsAcrossBlocks(std::u16string_view alphabet)
{
    std::vector<std::u16string> texts = {std::u16string(10000, alphabet.front())};
    std::uint32_t seed = 1;
    for (std::size_t length : {63u, 64u, 65u, 127u, 130u, 200u, 1000u, 5000u}) {
        std::u16string text;
        while (text.size() < length) {
            seed = seed * 1103515245u + 12345u;
            text += alphabet[(seed >> 16) % alphabet.size()];
        }
        texts.push_back(text);
    }
    return texts;
}

std::u16string PlainReplace(std::u16string_view text, std::u16string_view from, std::u16string_view to)
{
    std::u16string out;
    std::size_t at = 0;
    for (std::size_t found = text.find(from); found != std::u16string_view::npos; found = text.find(from, at)) {
        out.append(text.substr(at, found - at)).append(to);
        at = found + from.size();
    }
    return out.append(text.substr(at));
}

TEST(TextSearch, FindAndReplaceAllAgreeWithAPlainSearchOnLongTexts)
{
    const std::u16string longTo(40, u'z');
    const std::u16string_view froms[] = {u"a", u"\r\n", u"aa", u"aba", u"a\r\n a", u"bbbbbbbbbbbbbbbbbbbb"};
    const std::u16string_view tos[] = {u"", u"\r\n\r\n\r\n", u"123456789", longTo};
    for (const std::u16string& text : TextsAcrossBlocks(u"ab\r\n b")) {
        for (std::u16string_view from : froms) {
            for (std::size_t start : {std::size_t{0}, text.size() / 3, text.size() - 1}) {
                const std::size_t after = text.find(from, start + 1);
                const std::size_t expected = after != std::u16string::npos ? after : text.find(from);
                EXPECT_EQ(FindNextOccurrence(text, from, start).value_or(std::u16string::npos), expected)
                    << text.size() << " units, from " << from.size() << ", start " << start;
            }
            for (std::u16string_view to : tos) {
                EXPECT_EQ(ReplaceAllOccurrences(text, from, to, kNoLimit), PlainReplace(text, from, to))
                    << text.size() << " units, from " << from.size() << " to " << to.size();
            }
        }
    }
}

TEST(TextSearch, FieldsAreCutAt199Characters)
{
    const std::u16string longField(250, u'a');
    EXPECT_EQ(DialogFieldText(longField).size(), 199u);
    EXPECT_EQ(DialogFieldText(std::u16string(199, u'b')), std::u16string(199, u'b'));
    EXPECT_EQ(DialogFieldText(u"short"), u"short");

    // A character of two units that straddles the cut is left out whole.
    std::u16string straddling(198, u'c');
    straddling += u"\U0001F600tail";
    EXPECT_EQ(DialogFieldText(straddling), std::u16string(198, u'c'));
}

}  // namespace
