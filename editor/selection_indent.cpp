#include "editor/selection_indent.h"

#include <algorithm>
#include <new>

#include "app/unit_scan.h"

namespace {

bool IsLineBreakAt(std::u16string_view text, std::size_t i)
{
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
}

constexpr std::size_t kNoMore = std::u16string_view::npos;

// The next CR LF at or after `from`, or npos.
std::size_t NextLineBreak(std::u16string_view text, std::size_t from)
{
    for (std::size_t at = FindUnit(text, u'\r', from); at != kNoMore; at = FindUnit(text, u'\r', at + 1)) {
        if (IsLineBreakAt(text, at))
            return at;
    }
    return kNoMore;
}

std::size_t CountLineBreaks(std::u16string_view text)
{
    std::size_t count = 0;
    for (std::size_t at = NextLineBreak(text, 0); at != kNoMore; at = NextLineBreak(text, at + 2))
        ++count;
    return count;
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

    try {
        std::u16string result(selection.size() + breaks * added, u' ');
        char16_t* out = result.data();
        std::size_t rest = 0;
        for (std::size_t at = NextLineBreak(selection, 0); at != kNoMore && added > 0;
             at = NextLineBreak(selection, rest)) {
            out = std::copy(selection.data() + rest, selection.data() + at + 2, out);
            out += added;  // the spaces are already there
            rest = at + 2;
        }
        std::copy(selection.begin() + static_cast<std::ptrdiff_t>(rest), selection.end(), out);
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::u16string> OutdentSelectionText(std::u16string_view selection, int spaces)
{
    const std::size_t removable = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    try {
        std::u16string result(selection.size(), u'\0');
        char16_t* out = result.data();
        std::size_t rest = 0;
        for (std::size_t at = NextLineBreak(selection, 0); at != kNoMore && removable > 0;
             at = NextLineBreak(selection, rest)) {
            out = std::copy(selection.data() + rest, selection.data() + at + 2, out);
            rest = at + 2;
            const std::size_t end = std::min(selection.size(), rest + removable);
            while (rest < end && selection[rest] == u' ')
                ++rest;
        }
        out = std::copy(selection.begin() + static_cast<std::ptrdiff_t>(rest), selection.end(), out);
        result.resize(static_cast<std::size_t>(out - result.data()));
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
