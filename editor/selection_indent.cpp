#include "editor/selection_indent.h"

#include <new>

namespace {

bool IsLineBreakAt(std::u16string_view text, std::size_t i)
{
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
}

std::size_t CountLineBreaks(std::u16string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (IsLineBreakAt(text, i)) {
            ++count;
            ++i;
        }
    }
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
        std::u16string result;
        result.reserve(selection.size() + breaks * added);
        for (std::size_t i = 0; i < selection.size(); ++i) {
            if (IsLineBreakAt(selection, i)) {
                result += u"\r\n";
                result.append(added, u' ');
                ++i;
            } else {
                result += selection[i];
            }
        }
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::u16string> OutdentSelectionText(std::u16string_view selection, int spaces)
{
    const std::size_t removable = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    try {
        std::u16string result;
        result.reserve(selection.size());
        for (std::size_t i = 0; i < selection.size(); ++i) {
            if (IsLineBreakAt(selection, i)) {
                result += u"\r\n";
                ++i;
                std::size_t skipped = 0;
                while (skipped < removable && i + 1 < selection.size() && selection[i + 1] == u' ') {
                    ++skipped;
                    ++i;
                }
            } else {
                result += selection[i];
            }
        }
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
