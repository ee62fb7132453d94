#include "editor/selection_indent.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <new>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define SKOCZEK_SSE2 1
#endif

namespace {

// A line break is an LF with a CR just before it. Anchoring on the LF finds the same breaks
// as reading CR LF pairs from the left, since two pairs can never share a unit.
bool EndsLineBreak(const char16_t* data, std::size_t at)
{
    return data[at] == u'\n' && at > 0 && data[at - 1] == u'\r';
}

std::size_t CountLineBreaks(std::u16string_view text)
{
    const char16_t* data = text.data();
    std::size_t count = 0;
    std::size_t at = 1;
#ifdef SKOCZEK_SSE2
    const __m128i lineFeed = _mm_set1_epi16(u'\n');
    const __m128i carriageReturn = _mm_set1_epi16(u'\r');
    // Each lane counts the breaks it sees (a match is -1, so it is subtracted); the lanes are
    // added up before any of them could overflow.
    __m128i lanes = _mm_setzero_si128();
    int roundsInLanes = 0;
    for (; at + 8 <= text.size(); at += 8) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at - 1));
        lanes = _mm_sub_epi16(lanes, _mm_and_si128(_mm_cmpeq_epi16(here, lineFeed), _mm_cmpeq_epi16(before, carriageReturn)));
        if (++roundsInLanes == 30000 || at + 16 > text.size()) {
            alignas(16) std::uint16_t counts[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(counts), lanes);
            for (std::uint16_t lane : counts)
                count += lane;
            lanes = _mm_setzero_si128();
            roundsInLanes = 0;
        }
    }
#endif
    for (; at < text.size(); ++at)
        count += EndsLineBreak(data, at) ? 1 : 0;
    return count;
}

// May write up to eight spaces past the last one; the copy's room allows for that.
char16_t* FillSpaces(char16_t* out, std::size_t count)
{
#ifdef SKOCZEK_SSE2
    if (count <= 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_set1_epi16(u' '));
        return out + count;
    }
#endif
    return std::fill_n(out, count, u' ');
}

// Copies the text, calling `afterBreak(at, out)` behind each line break; it returns where the
// copy goes on. Eight units are copied at a time, up to and including the next LF, so `out`
// needs room for eight units more than the result.
template <typename AfterBreak>
char16_t* CopyLines(std::u16string_view text, char16_t* out, AfterBreak afterBreak)
{
    const char16_t* data = text.data();
    std::size_t at = 0;
#ifdef SKOCZEK_SSE2
    const __m128i lineFeed = _mm_set1_epi16(u'\n');
    while (at + 8 <= text.size()) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, lineFeed)));
        if (mask == 0) {
            out += 8;
            at += 8;
            continue;
        }
        const std::size_t upToLineFeed = static_cast<std::size_t>(std::countr_zero(mask)) / 2 + 1;
        out += upToLineFeed;
        at += upToLineFeed;
        if (EndsLineBreak(data, at - 1))
            at = afterBreak(at, out);
    }
#endif
    while (at < text.size()) {
        *out++ = data[at++];
        if (EndsLineBreak(data, at - 1))
            at = afterBreak(at, out);
    }
    return out;
}

}  // namespace

std::optional<std::u16string> IndentSelectionText(std::u16string_view selection, int spaces,
                                                  std::size_t maxLength)
{
    const std::size_t added = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    // Sized from the breaks actually there, checked so that no product or sum can wrap.
    const std::size_t breaks = added > 0 ? CountLineBreaks(selection) : 0;
    if (selection.size() > maxLength)
        return std::nullopt;
    if (breaks > 0 && added > (maxLength - selection.size()) / breaks)
        return std::nullopt;
    if (breaks == 0)
        return std::optional<std::u16string>(std::in_place, selection);

    try {
        const std::size_t length = selection.size() + breaks * added;
        std::u16string result(length + 8, u'\0');
        CopyLines(selection, result.data(), [added](std::size_t at, char16_t*& out) {
            out = FillSpaces(out, added);
            return at;
        });
        result.resize(length);
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::u16string> OutdentSelectionText(std::u16string_view selection, int spaces)
{
    const std::size_t removable = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    try {
        if (removable == 0)
            return std::u16string(selection);
        std::u16string result(selection.size() + 8, u'\0');
        const char16_t* end = CopyLines(selection, result.data(), [selection, removable](std::size_t at, char16_t*&) {
            const std::size_t stop = at + std::min(removable, selection.size() - at);
            while (at < stop && selection[at] == u' ')
                ++at;
            return at;
        });
        result.resize(static_cast<std::size_t>(end - result.data()));
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
