#include "jump/marker.h"

#include <gtest/gtest.h>

namespace {

TEST(JumpMarker, TwoDigitsWithALeadingZero)
{
    const std::pair<int, std::u16string_view> cases[] = {
        {0, u"//--?00"}, {4, u"//--?04"}, {9, u"//--?09"}, {10, u"//--?10"}, {18, u"//--?18"}};
    for (const auto& [slot, marker] : cases)
        EXPECT_EQ(JumpMarker(slot), marker) << slot;
}

}  // namespace
