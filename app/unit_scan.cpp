#include "app/unit_scan.h"

#include <algorithm>
#include <array>
#include <cstring>


namespace {

constexpr std::size_t kNotFound = std::u16string_view::npos;

// Needles shorter than this are found by scanning for their first unit.
constexpr std::size_t kShortestSkippingNeedle = 4;

bool MatchesAt(const char16_t* at, std::u16string_view what)
{
    return std::memcmp(at, what.data(), what.size() * sizeof(char16_t)) == 0;
}

std::size_t FindByFirstUnit(std::u16string_view text, std::u16string_view what, std::size_t from)
{
    const std::size_t lastStart = text.size() - what.size();
    for (std::size_t at = FindUnit(text, what.front(), from); at != kNotFound && at <= lastStart;
         at = FindUnit(text, what.front(), at + 1)) {
        if ((what.size() == 1 || text[at + 1] == what[1]) && MatchesAt(text.data() + at, what))
            return at;
    }
    return kNotFound;
}

// Horspool's skipping search. The skip table is keyed by a unit's low byte, which keeps it
// small; units sharing a low byte share the shortest skip, so no occurrence is stepped over.
std::size_t FindBySkipping(std::u16string_view text, std::u16string_view what, std::size_t from)
{
    const std::size_t last = what.size() - 1;
    std::array<std::size_t, 256> skip;
    skip.fill(what.size());
    for (std::size_t i = 0; i < last; ++i)
        skip[what[i] & 0xFF] = std::min(skip[what[i] & 0xFF], last - i);

    const char16_t lastUnit = what[last];
    const char16_t* data = text.data();
    for (std::size_t at = from; at + last < text.size();) {
        const char16_t unit = data[at + last];
        if (unit == lastUnit && MatchesAt(data + at, what))
            return at;
        at += skip[unit & 0xFF];
    }
    return kNotFound;
}

}  // namespace

std::size_t FindText(std::u16string_view text, std::u16string_view what, std::size_t from)
{
    if (what.empty() || from > text.size() || what.size() > text.size() - from)
        return what.empty() && from <= text.size() ? from : kNotFound;
    if (what.size() < kShortestSkippingNeedle)
        return FindByFirstUnit(text, what, from);
    return FindBySkipping(text, what, from);
}
