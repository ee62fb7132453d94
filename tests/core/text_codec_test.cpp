#include "files/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(EncodeUtf8, ProducesExactBytes)
{
    struct Case {
        const char* name;
        std::u16string text;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"crlf and ogonek", u"int a;\r\n\u0105", {0x69, 0x6E, 0x74, 0x20, 0x61, 0x3B, 0x0D, 0x0A, 0xC4, 0x85}},
        {"empty", u"", {}},
        {"lone lf kept", u"a\nb", {0x61, 0x0A, 0x62}},
        {"pair to four bytes", u"\U0001F600", {0xF0, 0x9F, 0x98, 0x80}},
        {"lone high", std::u16string{u'x', char16_t(0xD83D)}, {0x78, 0xEF, 0xBF, 0xBD}},
        {"lone low", std::u16string{char16_t(0xDE00), u'y'}, {0xEF, 0xBF, 0xBD, 0x79}},
        {"high then high then low", std::u16string{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)},
         {0xEF, 0xBF, 0xBD, 0xF0, 0x9F, 0x98, 0x80}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToBytes(EncodeUtf8(c.text)), c.expected) << c.name;
}

TEST(TextCodec, RoundTripsThroughSaveAndLoad)
{
    struct Case {
        std::u16string text;
        TextEncoding loadedAs;
    };
    const std::vector<Case> cases = {
        {u"plain ascii\r\nline two", TextEncoding::Ansi},
        {u"\u0105 \u0119 \u015B \u0142 \u00F3 \u017C", TextEncoding::Utf8},
        {u"smile \U0001F600 end", TextEncoding::Utf8},
        {u"lf\nonly\n\u0142", TextEncoding::Utf8},
    };
    for (const Case& c : cases) {
        const Bytes saved = ToBytes(EncodeUtf8(c.text));
        const ClassifiedText loaded = ClassifyTextFile(saved);
        EXPECT_EQ(loaded.encoding, c.loadedAs);
        EXPECT_EQ(DecodeUtf8(loaded.payload), c.text);
    }
}

TEST(TextCodec, Utf16FileLoads)
{
    const Bytes markOnly = {0xFF, 0xFE};
    const Bytes oddLength = {0xFF, 0xFE, 0x41, 0x00, 0x42};
    EXPECT_EQ(DecodeUtf16Le(ClassifyTextFile(markOnly).payload), u"");
    EXPECT_EQ(DecodeUtf16Le(ClassifyTextFile(oddLength).payload), u"A");
}

TEST(ClassifyTextFile, PicksEncodingAndPayload)
{
    struct Case {
        const char* name;
        Bytes file;
        TextEncoding encoding;
        Bytes payload;
    };
    const std::vector<Case> cases = {
        {"empty file", {}, TextEncoding::Ansi, {}},
        {"utf16 mark alone", {0xFF, 0xFE}, TextEncoding::Utf16LeWithMark, {}},
        {"utf16 keeps nul", {0xFF, 0xFE, 0x41, 0x00, 0x42}, TextEncoding::Utf16LeWithMark, {0x41, 0x00, 0x42}},
        {"utf8 mark", {0xEF, 0xBB, 0xBF, 0x61, 0xC4, 0x85}, TextEncoding::Utf8WithMark, {0x61, 0xC4, 0x85}},
        {"utf8 mark cut at nul", {0xEF, 0xBB, 0xBF, 0x61, 0x00, 0x62}, TextEncoding::Utf8WithMark, {0x61}},
        {"utf8 without mark", {0x61, 0xC4, 0x85}, TextEncoding::Utf8, {0x61, 0xC4, 0x85}},
        {"utf8 up to nul, junk after", {0xC4, 0x85, 0x00, 0xFF}, TextEncoding::Utf8, {0xC4, 0x85}},
        {"high byte only after nul", {0x61, 0x00, 0xC4, 0x85}, TextEncoding::Ansi, {0x61}},
        {"pure ascii", {0x61, 0x0A, 0x62}, TextEncoding::Ansi, {0x61, 0x0A, 0x62}},
        {"ansi cut at nul", {0x61, 0xE9, 0x00, 0x62}, TextEncoding::Ansi, {0x61, 0xE9}},
        {"latin-1 cafe", {0x63, 0x61, 0x66, 0xE9}, TextEncoding::Ansi, {0x63, 0x61, 0x66, 0xE9}},
        {"overlong nul", {0xC0, 0x80}, TextEncoding::Ansi, {0xC0, 0x80}},
        {"encoded surrogate", {0xED, 0xA0, 0x80}, TextEncoding::Ansi, {0xED, 0xA0, 0x80}},
        {"above U+10FFFF", {0xF4, 0x90, 0x80, 0x80}, TextEncoding::Ansi, {0xF4, 0x90, 0x80, 0x80}},
        {"truncated", {0xE4, 0xB8}, TextEncoding::Ansi, {0xE4, 0xB8}},
    };
    for (const Case& c : cases) {
        const ClassifiedText result = ClassifyTextFile(c.file);
        EXPECT_EQ(result.encoding, c.encoding) << c.name;
        EXPECT_EQ(Bytes(result.payload.begin(), result.payload.end()), c.payload) << c.name;
    }
}

TEST(DecodeUtf16Le, TakesUnitsUnchanged)
{
    struct Case {
        const char* name;
        Bytes payload;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {"empty", {}, u""},
        {"odd byte dropped", {0x41, 0x00, 0x42}, u"A"},
        {"high byte order", {0x05, 0x01, 0x0D, 0x00, 0x0A, 0x00}, u"\u0105\r\n"},
        {"lone surrogate kept", {0x3D, 0xD8, 0x41, 0x00}, std::u16string{char16_t(0xD83D), u'A'}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeUtf16Le(c.payload), c.expected) << c.name;
}

TEST(DecodeUtf8, ReplacesEachMaximalInvalidSubpart)
{
    struct Case {
        const char* name;
        Bytes payload;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {"valid mix", {0x61, 0xC4, 0x85, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}, u"a\u0105\u20AC\U0001F600"},
        {"overlong two-byte", {0xC0, 0x80, 0x61}, u"\uFFFD\uFFFDa"},
        {"overlong three-byte", {0xE0, 0x80, 0xAF}, u"\uFFFD\uFFFD\uFFFD"},
        {"overlong four-byte", {0xF0, 0x8F, 0xBF, 0xBF}, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"just below surrogates", {0xED, 0x9F, 0xBF}, u"\uD7FF"},
        {"encoded surrogate", {0xED, 0xA0, 0x80}, u"\uFFFD\uFFFD\uFFFD"},
        {"above range", {0xF4, 0x90, 0x80, 0x80}, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"truncated at end", {0x61, 0xE4, 0xB8}, u"a\uFFFD"},
        {"truncated four-byte", {0xF0, 0x9F, 0x98, 0x61}, u"\uFFFDa"},
        {"stray continuations", {0x80, 0xBF}, u"\uFFFD\uFFFD"},
        {"lead before lead", {0xC4, 0xC4, 0x85}, u"\uFFFD\u0105"},
        {"largest scalar", {0xF4, 0x8F, 0xBF, 0xBF}, u"\U0010FFFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeUtf8(c.payload), c.expected) << c.name;
        EXPECT_EQ(IsValidUtf8(c.payload), c.expected.find(u'\uFFFD') == std::u16string::npos) << c.name;
    }
}

} // namespace
