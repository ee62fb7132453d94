#include "jump/marker.h"

std::u16string JumpMarker(int slot)
{
    std::u16string marker = u"//--?";
    marker += static_cast<char16_t>(u'0' + slot / 10 % 10);
    marker += static_cast<char16_t>(u'0' + slot % 10);
    return marker;
}

std::optional<std::size_t> FindMarker(std::u16string_view text, std::u16string_view marker)
{
    if (marker.empty())
        return std::nullopt;
    const std::size_t found = text.find(marker);
    if (found == std::u16string_view::npos)
        return std::nullopt;
    return found;
}
