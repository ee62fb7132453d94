#include "settings/settings_record.h"

#include <gtest/gtest.h>

#include "jump/marker.h"

#include <string>
#include <vector>

namespace {

std::uint32_t U32At(const SettingsImage& image, std::size_t offset)
{
    return image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16 |
           static_cast<std::uint32_t>(image[offset + 3]) << 24;
}

std::u16string TextAt(const SettingsImage& image, std::size_t offset, std::size_t units)
{
    std::u16string text;
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = static_cast<char16_t>(image[offset + 2 * i] | image[offset + 2 * i + 1] << 8);
        if (unit == 0)
            break;
        text += unit;
    }
    return text;
}

bool AllZero(const SettingsImage& image, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; ++i)
        if (image[i] != 0)
            return false;
    return true;
}

TEST(SettingsRecord, StartValues)
{
    const Settings settings = StartSettings();
    EXPECT_EQ(ReadTextField(settings.compileDirective), u"gcc -o out_file main.c");
    EXPECT_EQ(settings.savedTextColor, 0x00FFFFFFu);
    EXPECT_EQ(settings.savedBackgroundColor, 0u);
    EXPECT_EQ(settings.savedFont.height, 0);
    EXPECT_EQ(settings.savedFont.faceName[0], u'\0');
    EXPECT_EQ(ReadTextField(settings.jumpCaptions[0]), u"//--?00");
    EXPECT_EQ(ReadTextField(settings.jumpCaptions[9]), u"//--?09");
    EXPECT_EQ(ReadTextField(settings.jumpCaptions[18]), u"//--?18");
    EXPECT_EQ(ReadTextField(settings.jumpCaptions[19]), u"");
    EXPECT_EQ(settings.spareValue, 4);
}

TEST(SettingsRecord, StartImageHasTheProjectFileLayout)
{
    const SettingsImage image = SettingsToImage(StartSettings());
    ASSERT_EQ(image.size(), 1702u);

    EXPECT_EQ(TextAt(image, 0, 600), u"gcc -o out_file main.c");
    EXPECT_TRUE(AllZero(image, 2 * 22, 1200));
    EXPECT_EQ(U32At(image, 1200), 0x00FFFFFFu);
    EXPECT_EQ(image[1200], 0xFF);
    EXPECT_EQ(image[1203], 0x00);
    EXPECT_EQ(U32At(image, 1204), 0u);
    EXPECT_TRUE(AllZero(image, 1208, 1300));
    for (int slot = 0; slot < 19; ++slot) {
        const std::size_t offset = 1300 + 20 * slot;
        EXPECT_EQ(TextAt(image, offset, 10), JumpMarker(slot)) << slot;
        EXPECT_TRUE(AllZero(image, offset + 14, offset + 20)) << slot;
    }
    EXPECT_TRUE(AllZero(image, 1680, 1700));
    EXPECT_EQ(image[1700], 4);
    EXPECT_EQ(image[1701], 0);
}

TEST(SettingsRecord, EveryFontFieldLandsAtItsOffset)
{
    // Each field holds a value no other field holds, so two swapped fields cannot pass.
    Settings settings = StartSettings();
    FontDescription& font = settings.savedFont;
    font.height = -13;
    font.width = 7;
    font.escapement = 900;
    font.orientation = 1800;
    font.weight = 700;
    font.italic = 0x11;
    font.underline = 0x22;
    font.strikeOut = 0x33;
    font.charSet = 0xEE;
    font.outPrecision = 0x44;
    font.clipPrecision = 0x55;
    font.quality = 0x66;
    font.pitchAndFamily = 0x31;
    WriteTextField(font.faceName, u"Consolas");
    const SettingsImage image = SettingsToImage(settings);

    struct Word {
        std::size_t offset;
        std::uint32_t value;
    };
    for (const Word& w : {Word{1208, 0xFFFFFFF3u}, Word{1212, 7}, Word{1216, 900}, Word{1220, 1800}, Word{1224, 700}})
        EXPECT_EQ(U32At(image, w.offset), w.value) << w.offset;
    const std::uint8_t bytes[] = {0x11, 0x22, 0x33, 0xEE, 0x44, 0x55, 0x66, 0x31};
    for (std::size_t i = 0; i < sizeof bytes; ++i)
        EXPECT_EQ(image[1228 + i], bytes[i]) << 1228 + i;
    EXPECT_EQ(TextAt(image, 1236, 32), u"Consolas");
    EXPECT_TRUE(AllZero(image, 1236 + 2 * 9, 1300));
    EXPECT_EQ(TextAt(image, 1300, 10), u"//--?00") << "the captions follow the face name directly";
}

TEST(SettingsRecord, RoundTripKeepsEveryByte)
{
    Settings settings = StartSettings();
    WriteTextField(settings.compileDirective, u"gcc -Wall -o zadanie zadanie.c");
    WriteTextField(settings.compileDirective, u"cc x.c");  // leaves the longer text's tail behind
    settings.savedTextColor = 0x00123456;
    settings.savedFont.height = 22;
    WriteTextField(settings.savedFont.faceName, u"Courier New");
    WriteTextField(settings.jumpCaptions[4], u"pętla");
    settings.spareValue = -2;

    const SettingsImage image = SettingsToImage(settings);
    const auto loaded = SettingsFromImage(image);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(SettingsToImage(*loaded), image);
    EXPECT_EQ(ReadTextField(loaded->compileDirective), u"cc x.c");
    EXPECT_EQ(ReadTextField(loaded->jumpCaptions[4]), u"pętla");
    EXPECT_EQ(loaded->spareValue, -2);
}

TEST(SettingsRecord, ShortImagesAreRefusedAndLongOnesReadTheirFirst1702Bytes)
{
    const SettingsImage image = SettingsToImage(StartSettings());
    std::vector<std::uint8_t> bytes(image.begin(), image.end());

    EXPECT_FALSE(SettingsFromImage(std::span(bytes).first(1701)).has_value());
    EXPECT_FALSE(SettingsFromImage({}).has_value());

    bytes.resize(5000, 0xAB);
    const auto loaded = SettingsFromImage(bytes);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(SettingsToImage(*loaded), image);
}

TEST(SettingsRecord, UnterminatedFieldsAreCutAtTheirWidth)
{
    SettingsImage image{};
    image.fill(0x41);  // 'A' (0x4141) in every unit: no field holds a terminator
    const auto loaded = SettingsFromImage(image);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(ReadTextField(loaded->compileDirective).size(), 599u);
    EXPECT_EQ(ReadTextField(loaded->savedFont.faceName).size(), 31u);
    for (const auto& caption : loaded->jumpCaptions)
        EXPECT_EQ(ReadTextField(caption).size(), 9u);
}

TEST(SettingsRecord, WritersCutTextAtTheFieldWidth)
{
    Settings settings = StartSettings();
    const char16_t guard = settings.jumpCaptions[5][0];

    WriteTextField(settings.jumpCaptions[4], u"123456789");  // exactly nine fills the slot
    EXPECT_EQ(ReadTextField(settings.jumpCaptions[4]), u"123456789");
    EXPECT_EQ(settings.jumpCaptions[4][9], u'\0');

    WriteTextField(settings.jumpCaptions[4], u"0123456789ABCDEF");
    EXPECT_EQ(ReadTextField(settings.jumpCaptions[4]), u"012345678");
    EXPECT_EQ(settings.jumpCaptions[5][0], guard);  // the next slot is untouched

    WriteTextField(settings.compileDirective, std::u16string(1000, u'x'));
    EXPECT_EQ(ReadTextField(settings.compileDirective).size(), 599u);
    EXPECT_EQ(settings.savedTextColor, 0x00FFFFFFu);  // nothing written past the field

    WriteTextField(settings.savedFont.faceName, std::u16string(40, u'F'));
    EXPECT_EQ(ReadTextField(settings.savedFont.faceName).size(), 31u);
}

TEST(SettingsRecord, ShorterTextLeavesTheOldTailBehindItsTerminator)
{
    Settings settings = StartSettings();
    WriteTextField(settings.compileDirective, u"abc");
    EXPECT_EQ(ReadTextField(settings.compileDirective), u"abc");
    EXPECT_EQ(settings.compileDirective[3], u'\0');
    EXPECT_EQ(settings.compileDirective[4], u'-');  // from "gcc -o out_file main.c"
}

}  // namespace
