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

bool IsBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\t';
}

// How many spaces and tabs, at most `most`, begin at `at`.
std::size_t LeadingBlanks(std::u16string_view text, std::size_t at, std::size_t most)
{
    const std::size_t stop = at + std::min(most, text.size() - at);
    std::size_t end = at;
#ifdef SKOCZEK_SSE2
    if (vectorPathsAllowed && at + 8 <= text.size()) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const __m128i blanks =
            _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u' ')), _mm_cmpeq_epi16(units, _mm_set1_epi16(u'\t')));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(blanks));
        end = at + static_cast<std::size_t>(std::countr_one(mask)) / 2;
        if (end >= stop)
            return stop - at;
        if (end < at + 8)
            return end - at;
    }
#endif
    while (end < stop && IsBlank(text[end]))
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
                copied = lineStart + LeadingBlanks(selection, lineStart, removable);
            });
            return static_cast<std::size_t>(CopyStretch(selection, copied, selection.size(), out) - start);
        });
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

LineSpan LinesTouched(std::u16string_view text, std::size_t start, std::size_t end)
{
    end = std::min(end, text.size());
    start = std::min(start, end);
    std::size_t from = start;
    if (text.substr(start).starts_with(kLineBreak)) {
        from = start + kLineBreak.size();
    } else if (start > 0 && text.substr(start - 1).starts_with(kLineBreak)) {
        from = start + 1;  // between the CR and the LF
    } else {
        const std::size_t before = text.substr(0, start).rfind(kLineBreak);
        from = before == std::u16string_view::npos ? 0 : before + kLineBreak.size();
    }
    return {from, std::max(from, end)};
}

std::optional<std::u16string> IndentLinesText(std::u16string_view lines, int spaces, std::size_t maxLength)
{
    const std::size_t added = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    const bool endsWithBreak = lines.ends_with(kLineBreak);
    const std::u16string_view body = endsWithBreak ? lines.substr(0, lines.size() - kLineBreak.size()) : lines;
    // The first line's spaces are added in front; the rest follow the breaks inside.
    if (added > maxLength || lines.size() > maxLength - added)
        return std::nullopt;
    std::optional<std::u16string> shifted = IndentSelectionText(body, spaces, maxLength - added - (lines.size() - body.size()));
    if (!shifted)
        return std::nullopt;
    try {
        shifted->insert(0, added, u' ');
        if (endsWithBreak)
            shifted->append(kLineBreak);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return shifted;
}

std::optional<std::u16string> OutdentLinesText(std::u16string_view lines, int spaces)
{
    const std::size_t removable = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    return OutdentSelectionText(lines.substr(LeadingBlanks(lines, 0, removable)), spaces);
}
