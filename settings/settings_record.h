#pragma once
// The settings record: everything a project file stores. Its 1702-byte image, little-endian
// with no header, is the project file format, so the offsets below are fixed to the byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

constexpr std::size_t kDirectiveUnits = 600;
constexpr std::size_t kFaceNameUnits = 32;
constexpr std::size_t kCaptionUnits = 10;
constexpr std::size_t kCaptionSlots = 20;
constexpr int kUsedCaptionSlots = 19;

constexpr std::size_t kDirectiveOffset = 0;
constexpr std::size_t kTextColorOffset = 1200;
constexpr std::size_t kBackgroundColorOffset = 1204;
constexpr std::size_t kFontOffset = 1208;
constexpr std::size_t kFaceNameOffset = 1236;
constexpr std::size_t kCaptionsOffset = 1300;
constexpr std::size_t kSpareValueOffset = 1700;
constexpr std::size_t kSettingsImageSize = 1702;

// The platform's logical-font description, field for field.
struct FontDescription {
    std::int32_t height;
    std::int32_t width;
    std::int32_t escapement;
    std::int32_t orientation;
    std::int32_t weight;
    std::uint8_t italic;
    std::uint8_t underline;
    std::uint8_t strikeOut;
    std::uint8_t charSet;
    std::uint8_t outPrecision;
    std::uint8_t clipPrecision;
    std::uint8_t quality;
    std::uint8_t pitchAndFamily;
    char16_t faceName[kFaceNameUnits];
};

struct Settings {
    char16_t compileDirective[kDirectiveUnits];
    std::uint32_t savedTextColor;        // 0x00BBGGRR
    std::uint32_t savedBackgroundColor;  // 0x00BBGGRR
    FontDescription savedFont;
    char16_t jumpCaptions[kCaptionSlots][kCaptionUnits];
    std::int16_t spareValue;
};

using SettingsImage = std::array<std::uint8_t, kSettingsImageSize>;

// The values the record holds right after start-up.
Settings StartSettings();

// Stores text in a fixed-width field: cut to width - 1 units and terminated. Units behind the
// terminator keep what they held, as the stored files have always carried them.
void WriteTextField(std::span<char16_t> field, std::u16string_view text);

// The text of a field: up to its first NUL, and never past its end.
std::u16string_view ReadTextField(std::span<const char16_t> field);

SettingsImage SettingsToImage(const Settings& settings);

// Reads the first 1702 bytes; fewer is no record. A text field without a terminator is cut
// at its width so that no reader can run past it.
std::optional<Settings> SettingsFromImage(std::span<const std::uint8_t> bytes);
