#include "text/unit_scan.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr std::size_t kNotFound = std::u16string_view::npos;

bool MatchesAt(const char16_t* at, std::u16string_view what)
{
    return std::memcmp(at, what.data(), what.size() * sizeof(char16_t)) == 0;
}

// Needles shorter than this are found by scanning for their first unit.
constexpr std::size_t kShortestSkippingNeedle = 4;

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

#ifdef SKOCZEK_SSE2
// Sixteen starting places at a time are tested on the needle's first and last unit together,
// which rarely both match by chance; only those places are compared in full.
std::size_t FindByFirstAndLastUnit(std::u16string_view text, std::u16string_view what, std::size_t from)
{
    const std::size_t last = what.size() - 1;
    const char16_t* data = text.data();
    const __m128i first = _mm_set1_epi16(static_cast<short>(what.front()));
    const __m128i final = _mm_set1_epi16(static_cast<short>(what.back()));
    std::size_t at = from;
    for (; at + last + 16 <= text.size(); at += 16) {
        auto candidates = static_cast<unsigned>(_mm_movemask_epi8(FirstAndLastMatch(data + at, last, first, final)));
        for (; candidates != 0; candidates &= candidates - 1) {
            const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(candidates));
            // The first and last units are equal already; only those between are left.
            if (what.size() <= 2 || MatchesAt(data + place + 1, what.substr(1, what.size() - 2)))
                return place;
        }
    }
    for (; at + last < text.size(); ++at) {
        if (data[at] == what.front() && data[at + last] == what.back() && MatchesAt(data + at, what))
            return at;
    }
    return kNotFound;
}
#endif

}  // namespace

std::size_t FindText(std::u16string_view text, std::u16string_view what, std::size_t from)
{
    if (what.empty() || from > text.size() || what.size() > text.size() - from)
        return what.empty() && from <= text.size() ? from : kNotFound;
    if (what.size() == 1)
        return FindUnit(text, what.front(), from);
#ifdef SKOCZEK_SSE2
    if (vectorPathsAllowed)
        return FindByFirstAndLastUnit(text, what, from);
#endif
    if (what.size() < kShortestSkippingNeedle)
        return FindByFirstUnit(text, what, from);
    return FindBySkipping(text, what, from);
}

std::size_t CountOccurrences(std::u16string_view text, std::u16string_view what)
{
    std::size_t count = 0;
#ifdef SKOCZEK_SSE2
    // One or two different units can never overlap themselves, and the first-and-last test is
    // the whole comparison: every candidate counts. Each byte lane counts its matches (a match
    // is -1, so it is subtracted) and the lanes are added up before any could overflow.
    if (vectorPathsAllowed && (what.size() == 1 || (what.size() == 2 && what[0] != what[1]))) {
        const std::size_t last = what.size() - 1;
        const char16_t* data = text.data();
        const __m128i first = _mm_set1_epi16(static_cast<short>(what.front()));
        const __m128i final = _mm_set1_epi16(static_cast<short>(what.back()));
        std::size_t at = 0;
        while (at + last + 16 <= text.size()) {
            __m128i lanes = _mm_setzero_si128();
            for (int round = 0; round < 255 && at + last + 16 <= text.size(); ++round, at += 16)
                lanes = _mm_sub_epi8(lanes, FirstAndLastMatch(data + at, last, first, final));
            const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
            count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                     static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
        }
        for (; at + last < text.size(); ++at)
            count += text[at] == what.front() && text[at + last] == what.back() ? 1 : 0;
        return count;
    }
#endif
    ForEachOccurrence(text, what, [&count](std::size_t) { ++count; });
    return count;
}
