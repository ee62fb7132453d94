#include "settings/font_description.h"

#include <algorithm>

static_assert(sizeof(LOGFONTW::lfFaceName) / sizeof(wchar_t) == kFaceNameUnits, "face names are 32 units");

FontDescription FontDescriptionFromLogFont(const LOGFONTW& font)
{
    FontDescription description = {};
    description.height = font.lfHeight;
    description.width = font.lfWidth;
    description.escapement = font.lfEscapement;
    description.orientation = font.lfOrientation;
    description.weight = font.lfWeight;
    description.italic = font.lfItalic;
    description.underline = font.lfUnderline;
    description.strikeOut = font.lfStrikeOut;
    description.charSet = font.lfCharSet;
    description.outPrecision = font.lfOutPrecision;
    description.clipPrecision = font.lfClipPrecision;
    description.quality = font.lfQuality;
    description.pitchAndFamily = font.lfPitchAndFamily;
    // All 32 units, the ones behind the terminator included, as the project file has always held them.
    std::transform(std::begin(font.lfFaceName), std::end(font.lfFaceName), description.faceName,
                   [](wchar_t unit) { return static_cast<char16_t>(unit); });
    return description;
}

LOGFONTW LogFontFromDescription(const FontDescription& font)
{
    LOGFONTW logFont = {};
    logFont.lfHeight = font.height;
    logFont.lfWidth = font.width;
    logFont.lfEscapement = font.escapement;
    logFont.lfOrientation = font.orientation;
    logFont.lfWeight = font.weight;
    logFont.lfItalic = font.italic;
    logFont.lfUnderline = font.underline;
    logFont.lfStrikeOut = font.strikeOut;
    logFont.lfCharSet = font.charSet;
    logFont.lfOutPrecision = font.outPrecision;
    logFont.lfClipPrecision = font.clipPrecision;
    logFont.lfQuality = font.quality;
    logFont.lfPitchAndFamily = font.pitchAndFamily;
    std::transform(std::begin(font.faceName), std::end(font.faceName), logFont.lfFaceName,
                   [](char16_t unit) { return static_cast<wchar_t>(unit); });
    return logFont;
}
