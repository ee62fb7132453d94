// Any byte string offered as a project file either is refused (too short) or gives a record
// whose text fields end within their widths and whose image is the bytes it came from, but for
// a terminator in the last unit of each field that had none. A text stored into a field reads back
// cut to the field's width, and the units behind its terminator stay as they were.
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "settings/settings_record.h"

namespace {

bool EndsWithinWidth(std::span<const char16_t> field)
{
    return ReadTextField(field).size() < field.size();
}

void CheckTextField(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<char16_t> field(input.ConsumeIntegralInRange<std::size_t>(0, 40));
    for (char16_t& unit : field)
        unit = input.ConsumeIntegral<char16_t>();
    const std::vector<char16_t> before = field;
    const std::u16string text = ConsumeRestAsText(input, std::u16string_view(u"ab\0", 3));

    WriteTextField(field, text);
    if (field.empty())
        return;
    const std::size_t kept = std::min(text.size(), field.size() - 1);
    Require(std::equal(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(kept), field.begin()),
            "the field starts with the text");
    Require(field[kept] == u'\0', "the text is terminated within the field");
    Require(std::equal(field.begin() + static_cast<std::ptrdiff_t>(kept) + 1, field.end(),
                       before.begin() + static_cast<std::ptrdiff_t>(kept) + 1),
            "units behind the terminator keep what they held");
    const std::u16string_view read = ReadTextField(field);
    Require(read == std::u16string_view(text).substr(0, std::min(kept, text.find(u'\0'))),
            "the field reads back as the text cut to its width and at its first NUL");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckTextField(data, size);
    if (size < kSettingsImageSize)
        Require(!SettingsFromImage({data, size}).has_value(), "fewer bytes than an image are no record");

    // Short inputs are repeated up to a whole image, so every input also exercises the reader.
    std::vector<std::uint8_t> bytes(data, data + size);
    for (std::size_t i = size; i < kSettingsImageSize; ++i)
        bytes.push_back(size == 0 ? 0 : data[i % size]);
    data = bytes.data();

    const auto record = SettingsFromImage(bytes);
    Require(record.has_value(), "a whole image is always a record");
    Require(EndsWithinWidth(record->compileDirective), "the directive ends within its width");
    Require(EndsWithinWidth(record->savedFont.faceName), "the face name ends within its width");
    for (const auto& caption : record->jumpCaptions)
        Require(EndsWithinWidth(caption), "every caption ends within its width");

    // Writing the record back and reading it again changes nothing more.
    const SettingsImage image = SettingsToImage(*record);
    const auto again = SettingsFromImage(image);
    Require(again.has_value(), "a written record reads back");
    Require(SettingsToImage(*again) == image, "a record read back writes the same image");

    // The image is the input but for the last unit of each field that had no terminator.
    SettingsImage expected;
    std::copy_n(data, kSettingsImageSize, expected.begin());
    auto terminate = [&expected](std::size_t offset, std::size_t units) {
        bool terminated = false;
        for (std::size_t i = 0; i < units; ++i)
            terminated |= expected[offset + 2 * i] == 0 && expected[offset + 2 * i + 1] == 0;
        if (!terminated)
            expected[offset + 2 * units - 2] = expected[offset + 2 * units - 1] = 0;
    };
    terminate(kDirectiveOffset, kDirectiveUnits);
    terminate(kFaceNameOffset, kFaceNameUnits);
    for (std::size_t slot = 0; slot < kCaptionSlots; ++slot)
        terminate(kCaptionsOffset + 2 * kCaptionUnits * slot, kCaptionUnits);
    Require(image == expected, "only the forced terminators differ from the input");
    return 0;
}
