#include "commandbar/count_field.h"

#include "text/decimal_text.h"

#include <cstdint>
#include <limits>

namespace {

constexpr int kMaxForPlus = 7;
constexpr int kMinForMinus = 2;

bool IsCountSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

int ParseCount(std::u16string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && IsCountSpace(text[at]))
        ++at;

    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }

    // Once the magnitude passes what any int can hold it stops growing, so
    // any number of digits is safe.
    constexpr std::int64_t kCap = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        if (magnitude < kCap)
            magnitude = magnitude * 10 + (text[at] - u'0');
    }

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

std::optional<int> CountAfterPlus(int current)
{
    if (current <= kMaxForPlus)
        return current + 1;
    return std::nullopt;
}

std::optional<int> CountAfterMinus(int current)
{
    if (current >= kMinForMinus)
        return current - 1;
    return std::nullopt;
}

std::u16string FormatCount(int value)
{
    // Work on the magnitude as unsigned so INT_MIN needs no special case.
    const bool negative = value < 0;
    std::uint32_t magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);

    std::u16string digits = DecimalText(magnitude);
    if (negative)
        digits.insert(digits.begin(), u'-');
    return digits;
}
