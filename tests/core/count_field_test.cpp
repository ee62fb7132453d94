#include "commandbar/count_field.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

TEST(ParseCount, ReadsLikeWtoiButSaturates)
{
    struct Case {
        std::u16string_view text;
        int expected;
    };
    const std::vector<Case> cases = {
        {u"1", 1},
        {u"", 0},
        {u"abc", 0},
        {u"  12abc", 12},
        {u"\t\n\v\f\r 7", 7},
        {u"+5", 5},
        {u"-3", -3},
        {u"- 3", 0},
        {u"2147483647", INT_MAX},
        {u"2147483648", INT_MAX},
        {u"99999999999", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"-2147483649", INT_MIN},
        {u"-99999999999", INT_MIN},
        {u"123456789012345678901234567890", INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseCount(c.text), c.expected) << "text index " << (&c - cases.data());
}

TEST(CountButtons, StepWithinLimits)
{
    struct Case {
        std::u16string_view field;
        std::optional<int> afterPlus;
        std::optional<int> afterMinus;
    };
    const std::vector<Case> cases = {
        {u"1", 2, std::nullopt},
        {u"7", 8, 6},
        {u"8", std::nullopt, 7},
        {u"25", std::nullopt, 24},
        {u"abc", 1, std::nullopt},
        {u"-3", -2, std::nullopt},
        {u"-99999999999", INT_MIN + 1, std::nullopt},
        {u"99999999999", std::nullopt, INT_MAX - 1},
    };
    for (const Case& c : cases) {
        const int n = ParseCount(c.field);
        EXPECT_EQ(CountAfterPlus(n), c.afterPlus) << n;
        EXPECT_EQ(CountAfterMinus(n), c.afterMinus) << n;
    }
}

TEST(CountButtons, PlusStopsAtEight)
{
    std::u16string field = u"1";
    for (int press = 0; press < 8; ++press) {
        if (const auto next = CountAfterPlus(ParseCount(field)))
            field = FormatCount(*next);
    }
    EXPECT_EQ(field, u"8");
}

TEST(FormatCount, WritesFullDecimal)
{
    struct Case {
        int value;
        std::u16string_view expected;
    };
    const std::vector<Case> cases = {
        {0, u"0"}, {8, u"8"}, {-2, u"-2"}, {10, u"10"},
        {INT_MIN + 1, u"-2147483647"}, {INT_MIN, u"-2147483648"}, {INT_MAX, u"2147483647"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatCount(c.value), c.expected) << c.value;
        EXPECT_EQ(ParseCount(FormatCount(c.value)), c.value);
    }
}

} // namespace
