#include "text/decimal_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

TEST(MessageText, CodeTakesThePlaceOfItsMark)
{
    struct Case {
        std::u16string_view format;
        std::uint32_t code;
        std::u16string_view text;
    };
    const Case cases[] = {
        {u"Nie udało się uruchomić procesu! Kod błędu: %lu", 2, u"Nie udało się uruchomić procesu! Kod błędu: 2"},
        {u"DialogBox failed! Error code: %lu", 0, u"DialogBox failed! Error code: 0"},
        {u"DialogBox failed! Error code: %lu", 4294967295u, u"DialogBox failed! Error code: 4294967295"},
        {u"%lu first, then text", 1814, u"1814 first, then text"},
        {u"only the first %lu counts", 5, u"only the first 5 counts"},
        {u"no mark at all", 7, u"no mark at all"},
    };
    for (const Case& c : cases) {
        std::array<char16_t, 256> out;
        out.fill(u'#');
        const std::size_t length = FormatWithCode(c.format, c.code, out);
        EXPECT_EQ(std::u16string_view(out.data(), length), c.text);
        EXPECT_EQ(out[length], u'\0');
    }
}

TEST(MessageText, ACutResultIsStillTerminated)
{
    std::array<char16_t, 8> out;
    out.fill(u'#');
    EXPECT_EQ(FormatWithCode(u"Code: %lu", 123456, out), 7u);
    EXPECT_EQ(std::u16string_view(out.data()), u"Code: 1");

    char16_t one[1] = {u'#'};
    EXPECT_EQ(FormatWithCode(u"x%lu", 9, one), 0u);
    EXPECT_EQ(one[0], u'\0');
    EXPECT_EQ(FormatWithCode(u"x", 9, {}), 0u);
}

}  // namespace
