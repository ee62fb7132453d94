#include "search/text_search.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "app/unit_scan.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>

#include <bit>
#define SKOCZEK_SSE2 1
#endif

namespace {

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool RestMatches(const char16_t* at, std::u16string_view what)
{
    // Most patterns are short; a loop beats a call for them.
    if (what.size() <= 8) {
        for (std::size_t i = 1; i < what.size(); ++i) {
            if (at[i] != what[i])
                return false;
        }
        return true;
    }
    return std::memcmp(at + 1, what.data() + 1, (what.size() - 1) * sizeof(char16_t)) == 0;
}

// Walks the text from left to right: `keep(at, units)` for each stretch that is not part of an
// occurrence of `what`, `occurrence()` for each occurrence; occurrences never overlap. Eight
// places are tested at a time on the first and last unit of `what`, so the stretches between
// are handed over eight units at a time.
template <typename Keep, typename Occurrence>
void WalkOccurrences(std::u16string_view text, std::u16string_view what, Keep keep, Occurrence occurrence)
{
    const std::size_t last = what.size() - 1;
    const char16_t* data = text.data();
    std::size_t at = 0;
#ifdef SKOCZEK_SSE2
    const __m128i first = _mm_set1_epi16(static_cast<short>(what.front()));
    const __m128i final = _mm_set1_epi16(static_cast<short>(what.back()));
    while (at + last + 8 <= text.size()) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + last));
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(starts, first), _mm_cmpeq_epi16(ends, final))));
        if (mask == 0) {
            keep(at, 8);
            at += 8;
            continue;
        }
        const std::size_t before = static_cast<std::size_t>(std::countr_zero(mask)) / 2;
        if (RestMatches(data + at + before, what)) {
            keep(at, before);
            occurrence();
            at += before + what.size();
        } else {
            keep(at, before + 1);
            at += before + 1;
        }
    }
#endif
    while (at < text.size()) {
        if (at + last < text.size() && data[at] == what.front() && RestMatches(data + at, what)) {
            occurrence();
            at += what.size();
        } else {
            keep(at, 1);
            ++at;
        }
    }
}

std::size_t CountOccurrences(std::u16string_view text, std::u16string_view what)
{
    std::size_t count = 0;
    WalkOccurrences(text, what, [](std::size_t, std::size_t) {}, [&count] { ++count; });
    return count;
}

}  // namespace

std::u16string_view DialogFieldText(std::u16string_view field)
{
    if (field.size() <= kDialogFieldLimit)
        return field;
    std::size_t length = kDialogFieldLimit;
    if (IsHighSurrogate(field[length - 1]))
        --length;
    return field.substr(0, length);
}

std::optional<std::size_t> FindNextOccurrence(std::u16string_view text, std::u16string_view what,
                                              std::size_t selectionStart)
{
    if (what.empty())
        return std::nullopt;
    // Starting one past the selection steps over the occurrence that is selected now.
    std::size_t found = std::u16string_view::npos;
    if (selectionStart < text.size())
        found = FindText(text, what, selectionStart + 1);
    // Wrapping round, only an occurrence that starts at or before the selection is left.
    if (found == std::u16string_view::npos)
        found = FindText(selectionStart < text.size() ? text.substr(0, std::min(text.size(), selectionStart + what.size()))
                                                      : text,
                         what);
    if (found == std::u16string_view::npos)
        return std::nullopt;
    return found;
}

std::optional<std::u16string> replaceNewlineWithCRLF(std::u16string_view text)
{
    try {
        std::u16string result;
        result.reserve(text.size());  // a pair of two characters becomes two characters
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
                result += u"\r\n";
                ++i;
            } else {
                result += text[i];
            }
        }
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::u16string> ReplaceAllOccurrences(std::u16string_view text, std::u16string_view from,
                                                    std::u16string_view to, std::size_t maxLength)
{
    if (from.empty())
        return std::nullopt;  // an empty pattern would match everywhere without moving on

    // The result is sized from the occurrences themselves, so a long replacement cannot overrun it.
    const std::size_t count = CountOccurrences(text, from);
    const std::size_t kept = text.size() - count * from.size();
    if (kept > maxLength)
        return std::nullopt;
    if (count > 0 && to.size() > (maxLength - kept) / count)
        return std::nullopt;
    const std::size_t length = kept + count * to.size();

    try {
        // Eight units of room more than the result: stretches are copied eight units at a time.
        std::u16string result(length + 8, u'\0');
        char16_t* out = result.data();
        const char16_t* data = text.data();
        // A short replacement is written as one block of eight units, the rest overwritten later.
        char16_t shortTo[8] = {};
        std::copy_n(to.begin(), std::min<std::size_t>(to.size(), 8), shortTo);
        WalkOccurrences(
            text, from,
            [&out, data, &text](std::size_t at, std::size_t units) {
                if (at + 8 <= text.size())
                    std::memcpy(out, data + at, 8 * sizeof(char16_t));
                else
                    std::copy_n(data + at, units, out);
                out += units;
            },
            [&out, to, &shortTo] {
                if (to.size() <= 8) {
                    std::memcpy(out, shortTo, sizeof shortTo);
                    out += to.size();
                } else {
                    out = std::copy(to.begin(), to.end(), out);
                }
            });
        result.resize(length);
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
