#include "jump/marker.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(JumpMarker, TwoDigitsWithALeadingZero)
{
    const std::pair<int, std::u16string_view> cases[] = {
        {0, u"//--?00"}, {4, u"//--?04"}, {9, u"//--?09"}, {10, u"//--?10"}, {18, u"//--?18"}};
    for (const auto& [slot, marker] : cases)
        EXPECT_EQ(JumpMarker(slot), marker) << slot;
}

TEST(JumpMarker, FirstExactOccurrenceAnywhere)
{
    struct Case {
        const char* name;
        std::u16string_view text;
        int slot;
        std::optional<std::size_t> expected;
    };
    const Case cases[] = {
        {"at the start", u"//--?00 main", 0, 0},
        {"the first of two", u"a //--?03 b //--?03", 3, 2},
        {"inside a longer run", u"x//--?051", 5, 1},
        {"inside a string literal", u"s = \"//--?12\";", 12, 5},
        {"at the very end", u"int a;\r\n//--?18", 18, 8},
        {"another slot's marker does not count", u"//--?01", 10, std::nullopt},
        {"cut short at the end", u"//--?0", 0, std::nullopt},
        {"empty text", u"", 0, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindMarker(c.text, JumpMarker(c.slot)), c.expected) << c.name;
    EXPECT_EQ(FindMarker(u"abc", u""), std::nullopt);
}

}  // namespace
