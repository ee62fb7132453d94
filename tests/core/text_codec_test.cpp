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

// Each case is tried at every offset around the first two block edges, with ASCII around it,
// on both the SSSE3 and the plain SSE2 path.
class AtBlockEdges : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { AllowSsse3Decoding(GetParam()); }
    void TearDown() override { AllowSsse3Decoding(true); }

    static constexpr std::size_t kLongestLead = 40;
    static Bytes Padded(std::size_t lead, const Bytes& middle)
    {
        Bytes bytes(lead, 'a');
        bytes.insert(bytes.end(), middle.begin(), middle.end());
        bytes.insert(bytes.end(), 20, 'z');
        return bytes;
    }
    static std::u16string Padded(std::size_t lead, const std::u16string& middle)
    {
        return std::u16string(lead, u'a') + middle + std::u16string(20, u'z');
    }
};

TEST_P(AtBlockEdges, DecodeUtf8)
{
    const std::u16string polish = u"\u017C\u00F3\u0142\u0107\u0119\u015B\u0105\u017A\u0144\u0106\u0141";
    struct Case {
        const char* name;
        Bytes middle;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {"two-byte run", ToBytes(EncodeUtf8(polish)), polish},
        {"two-byte run with a space", ToBytes(EncodeUtf8(u"\u017C\u00F3 \u0142\u0107 \u0119")), u"\u017C\u00F3 \u0142\u0107 \u0119"},
        {"nul kept", {0xC4, 0x85, 0x00, 0xC4, 0x85}, std::u16string{u'\u0105', u'\0', u'\u0105'}},
        {"invalid among two-byte", {0xC4, 0x85, 0xC4, 0x85, 0xFF, 0xC4, 0x85}, u"\u0105\u0105\uFFFD\u0105"},
        {"lead without continuation", {0xC4, 0x85, 0xC4, 0x61}, u"\u0105\uFFFDa"},
        {"stray continuation", {0xC4, 0x85, 0x85, 0xC4, 0x85}, u"\u0105\uFFFD\u0105"},
        {"overlong two-byte", {0xC4, 0x85, 0xC1, 0x81}, u"\u0105\uFFFD\uFFFD"},
        {"three-byte among two-byte", {0xC4, 0x85, 0xE2, 0x82, 0xAC, 0xC4, 0x85}, u"\u0105\u20AC\u0105"},
        {"four-byte", {0xC4, 0x85, 0xF0, 0x9F, 0x98, 0x80, 0xC4, 0x85}, u"\u0105\U0001F600\u0105"},
        {"truncated three-byte", {0xC4, 0x85, 0xE2, 0x82, 0x61}, u"\u0105\uFFFDa"},
        {"encoded surrogate", {0xED, 0xA0, 0x80, 0xC4, 0x85}, u"\uFFFD\uFFFD\uFFFD\u0105"},
    };
    for (const Case& c : cases) {
        for (std::size_t lead = 0; lead <= kLongestLead; ++lead) {
            const Bytes bytes = Padded(lead, c.middle);
            const std::u16string expected = Padded(lead, c.expected);
            EXPECT_EQ(DecodeUtf8(bytes), expected) << c.name << " after " << lead;
            EXPECT_EQ(IsValidUtf8(bytes), expected.find(u'\uFFFD') == std::u16string::npos)
                << c.name << " after " << lead;
            // Opening the file recognises and decodes it as the two steps apart do.
            const ClassifiedText classified = ClassifyTextFile(bytes);
            const DecodedTextFile file = DecodeTextFile(bytes);
            EXPECT_EQ(file.classified.encoding, classified.encoding) << c.name << " after " << lead;
            EXPECT_EQ(Bytes(file.classified.payload.begin(), file.classified.payload.end()),
                      Bytes(classified.payload.begin(), classified.payload.end()))
                << c.name << " after " << lead;
            const std::u16string decoded =
                classified.encoding == TextEncoding::Ansi ? u"" : DecodeUtf8(classified.payload);
            EXPECT_EQ(file.text, decoded) << c.name << " after " << lead;
        }
    }
}

TEST_P(AtBlockEdges, EncodeUtf8)
{
    struct Case {
        const char* name;
        std::u16string middle;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"two-byte", u"\u0105\u00F3\u07FF", {0xC4, 0x85, 0xC3, 0xB3, 0xDF, 0xBF}},
        {"three-byte", u"\u0105\u20AC", {0xC4, 0x85, 0xE2, 0x82, 0xAC}},
        {"pair", u"\u0105\U0001F600", {0xC4, 0x85, 0xF0, 0x9F, 0x98, 0x80}},
        {"lone high", std::u16string{u'\u0105', char16_t(0xD83D), u'\u0105'}, {0xC4, 0x85, 0xEF, 0xBF, 0xBD, 0xC4, 0x85}},
        {"lone low", std::u16string{char16_t(0xDE00), u'\u0105'}, {0xEF, 0xBF, 0xBD, 0xC4, 0x85}},
        {"nul", std::u16string{u'\u0105', u'\0'}, {0xC4, 0x85, 0x00}},
    };
    for (const Case& c : cases) {
        for (std::size_t lead = 0; lead <= kLongestLead; ++lead)
            EXPECT_EQ(ToBytes(EncodeUtf8(Padded(lead, c.middle))), Padded(lead, c.expected)) << c.name << " after " << lead;
    }
}

INSTANTIATE_TEST_SUITE_P(TextCodec, AtBlockEdges, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) { return param.param ? "Ssse3" : "Sse2"; });

TEST(DecodeTextFile, RecognisesAsClassifyTextFileDoes)
{
    struct Case {
        const char* name;
        Bytes file;
        TextEncoding encoding;
        std::size_t payloadSize;
        std::u16string text;
    };
    const Bytes polish = ToBytes(EncodeUtf8(std::u16string(30, u'\u0105')));
    Bytes polishThenNul = polish;
    polishThenNul.insert(polishThenNul.end(), {0x00, 0xFF});
    Bytes asciiThenNulThenPolish(40, 'a');
    asciiThenNulThenPolish.push_back(0x00);
    asciiThenNulThenPolish.insert(asciiThenNulThenPolish.end(), polish.begin(), polish.end());
    Bytes polishThenLatin1 = polish;
    polishThenLatin1.insert(polishThenLatin1.end(), {0x61, 0xE9, 0x00, 0x62});
    const std::vector<Case> cases = {
        {"empty", {}, TextEncoding::Ansi, 0, u""},
        {"utf16", {0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00}, TextEncoding::Utf16LeWithMark, 4, std::u16string{u'A', u'\0'}},
        {"utf8 mark, invalid kept, cut at nul", {0xEF, 0xBB, 0xBF, 0xFF, 0x61, 0x00, 0x62}, TextEncoding::Utf8WithMark, 2,
         u"\uFFFDa"},
        {"utf8 up to nul, junk after", polishThenNul, TextEncoding::Utf8, polish.size(), std::u16string(30, u'\u0105')},
        {"ascii up to nul", asciiThenNulThenPolish, TextEncoding::Ansi, 40, u""},
        {"latin-1 after utf8, cut at nul", polishThenLatin1, TextEncoding::Ansi, polish.size() + 2, u""},
    };
    for (const Case& c : cases) {
        const DecodedTextFile file = DecodeTextFile(c.file);
        EXPECT_EQ(file.classified.encoding, c.encoding) << c.name;
        EXPECT_EQ(file.classified.payload.size(), c.payloadSize) << c.name;
        EXPECT_EQ(file.text, c.text) << c.name;
    }
}

} // namespace
