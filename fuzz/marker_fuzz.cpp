// Jump markers sought in any text: what is found is the marker and the first of them; nothing
// is found only where the marker does not occur; every slot's marker is "//--?" and two digits.

#include "jump/marker.h"

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int slot = input.ConsumeIntegralInRange(0, 18);
    const bool slotMarker = input.ConsumeBool();
    const std::u16string other = ConsumeText(input, u"/-?01", 10);
    const std::u16string text = ConsumeRestAsText(input, u"/-?01\r\n");

    const std::u16string marker = JumpMarker(slot);
    Require(marker.size() == kJumpMarkerLength && marker.starts_with(u"//--?") &&
                marker[5] == u'0' + slot / 10 && marker[6] == u'0' + slot % 10,
            "a slot's marker is //--? and its two digits");

    const std::u16string& sought = slotMarker ? marker : other;
    const std::optional<std::size_t> found = FindMarker(text, sought);
    const std::size_t first = text.find(sought);
    if (sought.empty() || first == std::u16string::npos) {
        Require(!found, "nothing is found where the marker does not occur");
        return 0;
    }
    Require(found == first, "the first occurrence is found, wherever it stands");
    return 0;
}
