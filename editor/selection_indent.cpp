#include "editor/selection_indent.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "text/unit_scan.h"
#include "text/vector_paths.h"
#include "text/written_string.h"

#ifdef SKOCZEK_SSE2
#include <emmintrin.h>
#endif

namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";

// May write up to eight spaces past the last one; the copy's room allows for that.
char16_t* FillSpaces(char16_t* out, std::size_t count)
{
    if (count <= 8) {
        std::memcpy(out, u"        ", 8 * sizeof(char16_t));
        return out + count;
    }
    return std::fill_n(out, count, u' ');
}

// How many spaces, at most `most`, begin at `at`.
std::size_t LeadingSpaces(std::u16string_view text, std::size_t at, std::size_t most)
{
    const std::size_t stop = at + std::min(most, text.size() - at);
    std::size_t end = at;
#ifdef SKOCZEK_SSE2
    if (vectorPathsAllowed && at + 8 <= text.size()) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const auto spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, _mm_set1_epi16(u' '))));
        end = at + static_cast<std::size_t>(std::countr_one(spaces)) / 2;
        if (end >= stop)
            return stop - at;
        if (end < at + 8)
            return end - at;
    }
#endif
    while (end < stop && text[end] == u' ')
        ++end;
    return end - at;
}

}  // namespace

std::optional<std::u16string> IndentSelectionText(std::u16string_view selection, int spaces,
                                                  std::size_t maxLength)
{
    const std::size_t added = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    // Sized from the breaks actually there, checked so that no product or sum can wrap.
    const std::size_t breaks = added > 0 ? CountOccurrences(selection, kLineBreak) : 0;
    if (selection.size() > maxLength)
        return std::nullopt;
    if (breaks > 0 && added > (maxLength - selection.size()) / breaks)
        return std::nullopt;
    try {
        if (breaks == 0)
            return std::optional<std::u16string>(std::in_place, selection);
        // Room for a block more than the result, for the stretches copied a block at a time.
        const std::size_t length = selection.size() + breaks * added;
        return WrittenString(length + kStretchRoom, [&](char16_t* out) {
            std::size_t copied = 0;  // where the text not yet copied begins
            ForEachOccurrence(selection, kLineBreak, [&](std::size_t at) {
                const std::size_t lineStart = at + kLineBreak.size();
                out = FillSpaces(CopyStretch(selection, copied, lineStart, out), added);
                copied = lineStart;
            });
            CopyStretch(selection, copied, selection.size(), out);
            return length;
        });
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
        return WrittenString(selection.size() + kStretchRoom, [&](char16_t* start) {
            char16_t* out = start;
            std::size_t copied = 0;
            ForEachOccurrence(selection, kLineBreak, [&](std::size_t at) {
                const std::size_t lineStart = at + kLineBreak.size();
                out = CopyStretch(selection, copied, lineStart, out);
                copied = lineStart + LeadingSpaces(selection, lineStart, removable);
            });
            return static_cast<std::size_t>(CopyStretch(selection, copied, selection.size(), out) - start);
        });
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
