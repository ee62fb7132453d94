#pragma once
// Fast scans over UTF-16 text, shared by search, replace and the indent commands. Portable.

#include <cstddef>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>

#include <bit>
#endif

// The first position at or after `from` holding `unit`, or npos. Inline: the line-by-line
// commands call it once a line.
inline std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from = 0)
{
    const char16_t* data = text.data();
    std::size_t at = from;
#if defined(__SSE2__) || defined(_M_X64)
    // Eight units at a time: the mask has two bits for each unit that matches.
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    for (; at + 8 <= text.size(); at += 8) {
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
