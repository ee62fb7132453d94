#pragma once
// Fast scans over UTF-16 text, shared by search, replace and the indent commands. Portable.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/vector_paths.h"

#ifdef SKOCZEK_SSE2
#include <emmintrin.h>

#include <bit>
#endif

// The first position at or after `from` holding `unit`, or npos. Inline: the line-by-line
// commands call it once a line.
inline std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from = 0)
{
    const char16_t* data = text.data();
    std::size_t at = from;
#ifdef SKOCZEK_SSE2
    // Eight units at a time: the mask has two bits for each unit that matches.
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    const std::size_t vectorEnd = vectorPathsAllowed ? text.size() : 0;
    for (; at + 8 <= vectorEnd; at += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted));
        if (mask != 0)
            return at + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))) / 2;
    }
#endif
    for (; at < text.size(); ++at) {
        if (data[at] == unit)
            return at;
    }
    return std::u16string_view::npos;
}

// The first occurrence of `what` (not empty) at or after `from`, or npos. Same result as
// std::u16string_view::find, without looking at every character of a long text.
std::size_t FindText(std::u16string_view text, std::u16string_view what, std::size_t from = 0);

#ifdef SKOCZEK_SSE2
// A byte for each of the sixteen places from `at`, all ones where a needle `last` + 1 units
// long would start with `first` and end with `final`.
inline __m128i FirstAndLastMatch(const char16_t* at, std::size_t last, __m128i first, __m128i final)
{
    const auto load = [at](std::size_t i) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + i)); };
    const __m128i low = _mm_and_si128(_mm_cmpeq_epi16(load(0), first), _mm_cmpeq_epi16(load(last), final));
    const __m128i high = _mm_and_si128(_mm_cmpeq_epi16(load(8), first), _mm_cmpeq_epi16(load(last + 8), final));
    return _mm_packs_epi16(low, high);
}

// The same for sixty-four places, a bit a place.
inline std::uint64_t FirstAndLastMatchBits(const char16_t* at, std::size_t last, __m128i first, __m128i final)
{
    std::uint64_t bits = 0;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const auto mask = static_cast<std::uint64_t>(_mm_movemask_epi8(FirstAndLastMatch(at + 16 * quarter, last, first, final)));
        bits |= mask << (16 * quarter);
    }
    return bits;
}
#endif

// The number of occurrences of `what` (not empty), counted left to right without overlapping.
std::size_t CountOccurrences(std::u16string_view text, std::u16string_view what);

// Calls `occurrence(at)` for each occurrence of `what` (not empty), left to right, never
// overlapping. Sixty-four starting places are tested at a time on the first and last unit of
// `what`, which rarely both match by chance; only those places are compared in full.
template <typename Occurrence>
void ForEachOccurrence(std::u16string_view text, std::u16string_view what, Occurrence occurrence)
{
    const char16_t* data = text.data();
    const std::size_t last = what.size() - 1;
    const auto middleMatches = [data, what](std::size_t place) {
        return what.size() <= 2 || std::memcmp(data + place + 1, what.data() + 1, (what.size() - 2) * sizeof(char16_t)) == 0;
    };
    std::size_t next = 0;  // where the next occurrence may start
    std::size_t at = 0;
#ifdef SKOCZEK_SSE2
    const __m128i first = _mm_set1_epi16(static_cast<short>(what.front()));
    const __m128i final = _mm_set1_epi16(static_cast<short>(what.back()));
    const std::size_t vectorEnd = vectorPathsAllowed ? text.size() : 0;
    for (; at + last + 64 <= vectorEnd; at += 64) {
        std::uint64_t candidates = FirstAndLastMatchBits(data + at, last, first, final);
        while (candidates != 0) {
            const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(candidates));
            candidates &= candidates - 1;
            if (place < next || !middleMatches(place))
                continue;
            occurrence(place);
            next = place + what.size();
        }
    }
    at = next > at ? next : at;
#endif
    while (at + last < text.size()) {
        if (data[at] == what.front() && data[at + last] == what.back() && middleMatches(at)) {
            occurrence(at);
            at += what.size();
        } else {
            ++at;
        }
    }
}

// Copies text[from, to) to `out` and returns the end of the copy. A short stretch, the usual
// one between two occurrences, is copied as kStretchRoom units whatever its length, so `out`
// needs room for that many units past the copy.
constexpr std::size_t kStretchRoom = 32;
inline char16_t* CopyStretch(std::u16string_view text, std::size_t from, std::size_t to, char16_t* out)
{
    const std::size_t units = to - from;
    if (units <= kStretchRoom && from + kStretchRoom <= text.size())
        std::memcpy(out, text.data() + from, kStretchRoom * sizeof(char16_t));
    else if (units > 0)
        std::memcpy(out, text.data() + from, units * sizeof(char16_t));
    return out + units;
}
