// Any byte string offered as a project file either is refused (too short) or gives a record
// whose text fields end within their widths and whose image starts with the bytes it came from,
// but for the terminators forced into unterminated fields.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "settings/settings_record.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool EndsWithinWidth(std::span<const char16_t> field)
{
    return ReadTextField(field).size() < field.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kSettingsImageSize)
        Require(!SettingsFromImage({data, size}).has_value());

    // Short inputs are repeated up to a whole image, so every input also exercises the reader.
    std::vector<std::uint8_t> bytes(data, data + size);
    for (std::size_t i = size; i < kSettingsImageSize; ++i)
        bytes.push_back(size == 0 ? 0 : data[i % size]);
    data = bytes.data();

    const auto record = SettingsFromImage(bytes);
    Require(record.has_value());
    Require(EndsWithinWidth(record->compileDirective));
    Require(EndsWithinWidth(record->savedFont.faceName));
    for (const auto& caption : record->jumpCaptions)
        Require(EndsWithinWidth(caption));

    // Writing the record back and reading it again changes nothing more.
    const SettingsImage image = SettingsToImage(*record);
    const auto again = SettingsFromImage(image);
    Require(again.has_value());
    Require(SettingsToImage(*again) == image);

    // Only the last unit of an unterminated field may differ from the input.
    std::size_t differing = 0;
    for (std::size_t i = 0; i < kSettingsImageSize; ++i)
        differing += image[i] != data[i];
    Require(differing <= 2 * (1 + 1 + kCaptionSlots));
    return 0;
}
