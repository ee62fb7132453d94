// The count field read from anything typed into it: leading white space and a sign, then the
// digits, clamped to the int range; any count written by the "+" and "-" buttons reads back
// as itself, and the buttons keep the count within its bounds.

#include "commandbar/count_field.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "fuzz/fuzz_support.h"

namespace {

constexpr std::u16string_view kAlphabet = u"0123456789 \t+-";

// The number a text holds, worked out on the digits as a string so that no arithmetic can
// overflow on the way.
int ExpectedCount(std::u16string_view text)
{
    std::size_t at = text.find_first_not_of(u" \t\n\v\f\r");
    if (at == std::u16string_view::npos)
        return 0;
    bool negative = false;
    if (text[at] == u'+' || text[at] == u'-') {
        negative = text[at] == u'-';
        ++at;
    }
    std::size_t end = text.find_first_not_of(u"0123456789", at);
    if (end == std::u16string_view::npos)
        end = text.size();
    std::u16string_view digits = text.substr(at, end - at);
    while (!digits.empty() && digits.front() == u'0')
        digits.remove_prefix(1);
    if (digits.size() > 10)
        return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    std::int64_t magnitude = 0;
    for (char16_t digit : digits)
        magnitude = magnitude * 10 + (digit - u'0');
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int value = input.ConsumeIntegral<int>();
    const std::u16string text = ConsumeRestAsText(input, kAlphabet);

    Require(ParseCount(text) == ExpectedCount(text), "the count is the text's leading number, clamped");
    const std::u16string written = FormatCount(value);
    Require(ParseCount(written) == value, "a written count reads back as itself");
    Require(ParseCount(u" \t" + written + u"x" + text) == value,
            "white space before and what follows the digits are passed over");

    if (const auto plus = CountAfterPlus(value))
        Require(*plus == value + 1 && *plus <= 8, "plus adds one up to 8");
    else
        Require(value >= 8, "plus stops only at 8");
    if (const auto minus = CountAfterMinus(value))
        Require(*minus == value - 1 && *minus >= 1, "minus takes one down to 1");
    else
        Require(value <= 1, "minus stops only at 1");
    return 0;
}
