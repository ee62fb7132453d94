#include "jump/marker.h"

std::u16string JumpMarker(int slot)
{
    std::u16string marker = u"//--?";
    marker += static_cast<char16_t>(u'0' + slot / 10 % 10);
    marker += static_cast<char16_t>(u'0' + slot % 10);
    return marker;
}
