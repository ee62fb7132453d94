#include "files/recovery_copy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A copy comes back exactly as written, whatever its text holds; cut short or with more after
// it, it is no copy. (The fuzz target reads any bytes as one.)
TEST(RecoveryCopy, ACopyComesBackWholeOrNotAtAll)
{
    for (const RecoveryCopy& copy : {RecoveryCopy{u"C:\\zadania\\main.c", u"2026-12-08 01:23:45", u"int a;\r\n"},
                                     RecoveryCopy{u"", u"t", std::u16string(u"a\0b\nznaki: 9\n\n\xD800", 15)}}) {
        std::vector<std::uint8_t> bytes = RecoveryCopyBytes(copy);
        EXPECT_EQ(ReadRecoveryCopy(bytes), copy);
        for (std::size_t cut = 0; cut < bytes.size(); cut += 3)
            EXPECT_FALSE(ReadRecoveryCopy({bytes.data(), cut})) << cut;
        bytes.insert(bytes.end(), {'x', 0});
        EXPECT_FALSE(ReadRecoveryCopy(bytes));
    }
}

TEST(RecoveryCopy, NamesSayWhoseCopyItIsAndWhetherItWasDeclined)
{
    EXPECT_EQ(RecoveryFileName({{12, 0xab}, false}), u"kopia-12-ab.txt");
    EXPECT_EQ(RecoveryFileName({{12, 0xab}, true}), u"odlozona-12-ab.txt");
    const RecoveryCopyName largest{{UINT32_MAX, UINT64_MAX}, true};
    EXPECT_EQ(ParseRecoveryFileName(RecoveryFileName(largest)), largest);
    for (std::u16string_view other : {u"kopia-12-ab.txt.tmp", u"kopia-12.txt", u"kopia-012-ab.txt", u"kopia-12-AB.txt",
                                      u"notatki.txt", u"kopia-4294967296-1.txt"})
        EXPECT_FALSE(ParseRecoveryFileName(other)) << std::string(other.begin(), other.end());
}

}  // namespace
