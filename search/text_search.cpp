#include "search/text_search.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "text/unit_scan.h"
#include "text/written_string.h"

namespace {

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
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
        // A short stretch is copied as a block whatever its length, and a short replacement as
        // one block of eight units, so the result gets room for a block more than its length.
        char16_t shortTo[8] = {};
        std::copy_n(to.begin(), std::min<std::size_t>(to.size(), 8), shortTo);
        return WrittenString(length + kStretchRoom, [&](char16_t* out) {
            std::size_t copied = 0;  // where the text not yet copied begins
            ForEachOccurrence(text, from, [&](std::size_t at) {
                out = CopyStretch(text, copied, at, out);
                if (to.size() <= 8)
                    std::memcpy(out, shortTo, sizeof shortTo);
                else
                    std::memcpy(out, to.data(), to.size() * sizeof(char16_t));
                out += to.size();
                copied = at + from.size();
            });
            CopyStretch(text, copied, text.size(), out);
            return length;
        });
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
