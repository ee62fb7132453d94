#include "editor/auto_indent.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

std::size_t LineStartBefore(std::u16string_view text, std::size_t position)
{
    const std::size_t end = std::min(position, text.size());
    if (end == 0)
        return 0;
    const std::size_t lf = text.rfind(u'\n', end - 1);
    return lf == std::u16string_view::npos ? 0 : lf + 1;
}

std::size_t LeadingIndentLength(std::u16string_view text, std::size_t lineStart)
{
    std::size_t at = std::min(lineStart, text.size());
    const std::size_t start = at;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t'))
        ++at;
    return at - start;
}

std::u16string LineBreakWithSpaces(std::size_t spaces)
{
    try {
        std::u16string out = u"\r\n";
        out.append(spaces, u' ');
        return out;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    // Too long to build: the line break alone is still better than losing the key press.
    return u"\r\n";
}

std::u16string LineBreakWithIndent(std::u16string_view indent)
{
    try {
        std::u16string out = u"\r\n";
        out.append(indent);
        return out;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return u"\r\n";
}

LineColumn LineColumnAt(std::u16string_view text, std::size_t position)
{
    const std::size_t end = std::min(position, text.size());
    const std::size_t lineStart = LineStartBefore(text, end);
    const auto breaks = static_cast<std::size_t>(std::count(text.begin(), text.begin() + lineStart, u'\n'));
    return {breaks + 1, end - lineStart + 1};
}

std::size_t SpacesThatFit(long long prefixWidth, long long spaceWidth)
{
    if (prefixWidth <= 0 || spaceWidth <= 0)
        return 0;
    // size_t can be 32 bits wide, so clamp rather than wrap.
    const unsigned long long fit = static_cast<unsigned long long>(prefixWidth / spaceWidth);
    return static_cast<std::size_t>(std::min<unsigned long long>(fit, std::numeric_limits<std::size_t>::max()));
}
