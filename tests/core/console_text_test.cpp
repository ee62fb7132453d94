#include "output/console_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// Code page 852's characters for the bytes the cases use; the rest are no characters.
std::array<char16_t, 256> Cp852Characters()
{
    std::array<char16_t, 256> characters{};
    for (int byte = 0; byte < 0x80; ++byte)
        characters[static_cast<std::size_t>(byte)] = static_cast<char16_t>(byte);
    characters[0x88] = u'ł';
    characters[0xA5] = u'ą';
    characters[0x8D] = u'Ź';
    characters[0xC5] = u'┼';
    characters[0x82] = u'é';
    characters[0xFF] = u'\u00A0';
    return characters;
}

// The lines of one run, in order: what the program wrote is had again whichever way the
// console showed its bytes.
TEST(ConsoleBytes, RecoversTheBytesOfEachLine)
{
    struct Case {
        const char* what;
        std::u16string_view line;
        std::optional<std::string> bytes;
    };
    const Case windows[] = {
        {"ASCII", u"Suma: 5", "Suma: 5"},
        {"UTF-8 'ł' shown in the code page", u"┼é", "\xC5\x82"},
        {"OEM text shown in the code page", u"łąka", "\x88\xA5ka"},
        {"a character of its own number that the code page has too", u"a\u00A0", "a\xFF"},
        {"wide text the program wrote", u"€ and ł", std::nullopt},
    };
    ConsoleBytes onWindows(Cp852Characters());
    for (const Case& c : windows) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(onWindows.Recover(c.line), c.bytes);
    }

    const Case wine[] = {
        {"a code-page character before any sign of byte numbers", u"a\u00A0", "a\xFF"},
        {"UTF-8 'ł' as the characters of its bytes' numbers", u"\u00C5\u0082", "\xC5\x82"},
        {"from then on every line is read so", u"a\u00A0", "a\xA0"},
        {"OEM 'ł' as the character of its number", u"\u0088\u00A5ka", "\x88\xA5ka"},
        {"wide text still has no bytes", u"€", std::nullopt},
        {"a code-page character past 0xFF", u"ł", "\x88"},
    };
    ConsoleBytes onWine(Cp852Characters());
    for (const Case& c : wine) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(onWine.Recover(c.line), c.bytes);
    }
}

}  // namespace
