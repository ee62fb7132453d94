#include "settings/settings_record.h"

#include <algorithm>

#include "jump/marker.h"

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::int16_t kStartSpareValue = 4;

class ImageWriter {
public:
    explicit ImageWriter(SettingsImage& image) : image_(image) {}

    void U8(std::uint8_t value) { image_[at_++] = value; }
    void U16(std::uint16_t value)
    {
        U8(static_cast<std::uint8_t>(value & 0xFF));
        U8(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value)
    {
        U16(static_cast<std::uint16_t>(value & 0xFFFF));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    void Units(std::span<const char16_t> units)
    {
        for (char16_t unit : units)
            U16(static_cast<std::uint16_t>(unit));
    }
private:
    SettingsImage& image_;
    std::size_t at_ = 0;
};

class ImageReader {
public:
    explicit ImageReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t U8() { return bytes_[at_++]; }
    std::uint16_t U16()
    {
        const std::uint16_t low = U8();
        return static_cast<std::uint16_t>(low | (U8() << 8));
    }
    std::uint32_t U32()
    {
        const std::uint32_t low = U16();
        return low | (static_cast<std::uint32_t>(U16()) << 16);
    }
    void Units(std::span<char16_t> units)
    {
        for (char16_t& unit : units)
            unit = static_cast<char16_t>(U16());
    }
private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

void TerminateWithinWidth(std::span<char16_t> field)
{
    if (std::find(field.begin(), field.end(), u'\0') == field.end())
        field.back() = u'\0';
}

}  // namespace

Settings StartSettings()
{
    Settings settings{};
    WriteTextField(settings.compileDirective, u"gcc -o out_file main.c");
    settings.savedTextColor = kWhite;
    settings.savedBackgroundColor = 0;
    // Each button starts out showing the marker it seeks.
    for (int slot = 0; slot < kUsedCaptionSlots; ++slot)
        WriteTextField(settings.jumpCaptions[slot], JumpMarker(slot));
    settings.spareValue = kStartSpareValue;
    return settings;
}

void WriteTextField(std::span<char16_t> field, std::u16string_view text)
{
    if (field.empty())
        return;
    const std::size_t kept = std::min(text.size(), field.size() - 1);
    std::copy_n(text.begin(), kept, field.begin());
    field[kept] = u'\0';
}

std::u16string_view ReadTextField(std::span<const char16_t> field)
{
    const auto end = std::find(field.begin(), field.end(), u'\0');
    return {field.data(), static_cast<std::size_t>(end - field.begin())};
}

SettingsImage SettingsToImage(const Settings& settings)
{
    SettingsImage image{};
    ImageWriter out(image);
    out.Units(settings.compileDirective);
    out.U32(settings.savedTextColor);
    out.U32(settings.savedBackgroundColor);

    const FontDescription& font = settings.savedFont;
    for (std::int32_t value : {font.height, font.width, font.escapement, font.orientation, font.weight})
        out.U32(static_cast<std::uint32_t>(value));
    for (std::uint8_t value : {font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
                               font.clipPrecision, font.quality, font.pitchAndFamily})
        out.U8(value);
    out.Units(font.faceName);

    for (const auto& caption : settings.jumpCaptions)
        out.Units(caption);
    out.U16(static_cast<std::uint16_t>(settings.spareValue));
    return image;
}

std::optional<Settings> SettingsFromImage(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kSettingsImageSize)
        return std::nullopt;

    Settings settings{};
    ImageReader in(bytes.first(kSettingsImageSize));
    in.Units(settings.compileDirective);
    settings.savedTextColor = in.U32();
    settings.savedBackgroundColor = in.U32();

    FontDescription& font = settings.savedFont;
    for (std::int32_t* field : {&font.height, &font.width, &font.escapement, &font.orientation, &font.weight})
        *field = static_cast<std::int32_t>(in.U32());
    for (std::uint8_t* field : {&font.italic, &font.underline, &font.strikeOut, &font.charSet, &font.outPrecision,
                                &font.clipPrecision, &font.quality, &font.pitchAndFamily})
        *field = in.U8();
    in.Units(font.faceName);

    for (auto& caption : settings.jumpCaptions)
        in.Units(caption);
    settings.spareValue = static_cast<std::int16_t>(in.U16());

    TerminateWithinWidth(settings.compileDirective);
    TerminateWithinWidth(font.faceName);
    for (auto& caption : settings.jumpCaptions)
        TerminateWithinWidth(caption);
    return settings;
}
