#include "files/recovery_copy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A copy comes back exactly as written, whatever its text holds; anything less than a whole copy
// is refused.
TEST(RecoveryCopy, ACopyComesBackWholeOrNotAtAll)
{
    const std::vector<RecoveryCopy> copies = {
        {u"C:\\zadania\\main.c", u"2026-12-08 01:23:45", u"int main(void)\r\n{\r\n}\r\n"},
        {u"", u"2026-12-08 01:23:45", u""},
        {u"C:\\ąę\\plik.c", u"t", std::u16string(u"a\0b\nznaki: 9\n\n\xD800", 15)},
    };
    for (const RecoveryCopy& copy : copies) {
        const std::vector<std::uint8_t> bytes = RecoveryCopyBytes(copy);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xFE);
        EXPECT_EQ(ReadRecoveryCopy(bytes), copy);
        // Cut anywhere, or with a unit too many, it is no copy.
        for (std::size_t cut = 0; cut < bytes.size(); ++cut)
            EXPECT_FALSE(ReadRecoveryCopy({bytes.data(), cut})) << cut;
        std::vector<std::uint8_t> longer = bytes;
        longer.insert(longer.end(), {'x', 0});
        EXPECT_FALSE(ReadRecoveryCopy(longer));
    }

    // A header with a field out of place or a length that is not a plain number.
    const auto bytesOf = [](std::u16string_view units) {
        std::vector<std::uint8_t> bytes{0xFF, 0xFE};
        for (char16_t unit : units) {
            bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        return bytes;
    };
    const std::u16string_view good = u"Skoczek: kopia niezapisanego tekstu 1\nplik: a.c\nczas: t\nznaki: 2\n\nab";
    ASSERT_TRUE(ReadRecoveryCopy(bytesOf(good)));
    for (std::u16string_view bad : {
             u"Skoczek: kopia niezapisanego tekstu 2\nplik: a.c\nczas: t\nznaki: 2\n\nab",
             u"Skoczek: kopia niezapisanego tekstu 1\nczas: t\nplik: a.c\nznaki: 2\n\nab",
             u"Skoczek: kopia niezapisanego tekstu 1\nplik: a.c\nczas: t\nznaki: +2\n\nab",
             u"Skoczek: kopia niezapisanego tekstu 1\nplik: a.c\nczas: t\nznaki: 2x\n\nab",
             u"Skoczek: kopia niezapisanego tekstu 1\nplik: a.c\nczas: t\nznaki: 2\nab",
         })
        EXPECT_FALSE(ReadRecoveryCopy(bytesOf(bad)));
}

TEST(RecoveryCopy, NamesSayWhoseCopyItIsAndWhetherItWasDeclined)
{
    const std::vector<RecoveryCopyName> names = {
        {{4242, 0x1DC0123456789ABull}, false},
        {{0, 0}, true},
        {{UINT32_MAX, UINT64_MAX}, false},
    };
    for (const RecoveryCopyName& name : names)
        EXPECT_EQ(ParseRecoveryFileName(RecoveryFileName(name)), name);
    EXPECT_EQ(RecoveryFileName({{12, 0xab}, false}), u"kopia-12-ab.txt");
    EXPECT_EQ(RecoveryFileName({{12, 0xab}, true}), u"odlozona-12-ab.txt");
    for (std::u16string_view other : {u"kopia-12-ab.txt.tmp", u"kopia-12.txt", u"kopia-012-ab.txt", u"kopia-12-AB.txt",
                                      u"kopia--12-ab.txt", u"kopia-12-ab-cd.txt", u"notatki.txt", u"kopia-4294967296-1.txt"})
        EXPECT_FALSE(ParseRecoveryFileName(other)) << std::string(other.begin(), other.end());
}

}  // namespace
