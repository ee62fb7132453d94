// Loads arbitrary bytes the way the editor does and checks that saving the result always gives
// well-formed UTF-8, that valid UTF-8 survives a load/save cycle byte for byte, and that the
// same bytes taken as UTF-16 text survive a save/load cycle unit for unit. The block-wise
// decoding and encoding, on each processor path, must also agree with plain one-at-a-time
// versions here.

#include "files/text_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "text/line_ends.h"
#include "text/vector_paths.h"

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The text with every surrogate that is not part of a pair replaced by U+FFFD.
std::u16string WithLoneSurrogatesReplaced(const std::u16string& text)
{
    std::u16string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (IsHighSurrogate(out[i]) && i + 1 < out.size() && IsLowSurrogate(out[i + 1]))
            ++i;
        else if (IsHighSurrogate(out[i]) || IsLowSurrogate(out[i]))
            out[i] = u'\uFFFD';
    }
    return out;
}

bool HasUnpairedSurrogate(const std::u16string& text)
{
    return WithLoneSurrogatesReplaced(text) != text;
}

std::span<const std::uint8_t> AsBytes(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

bool Within(std::span<const std::uint8_t> part, std::span<const std::uint8_t> whole)
{
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

void CheckClassification(std::span<const std::uint8_t> input, const ClassifiedText& classified)
{
    Require(Within(classified.payload, input), "the payload lies within the file's bytes");
    if (classified.encoding == TextEncoding::Utf16LeWithMark) {
        Require(classified.payload.size() + 2 == input.size(), "UTF-16 payload is all but the mark");
        return;
    }
    Require(std::find(classified.payload.begin(), classified.payload.end(), 0) == classified.payload.end(),
            "a single-byte payload stops before any NUL");
    const std::size_t markSize = classified.encoding == TextEncoding::Utf8WithMark ? 3 : 0;
    Require(classified.payload.data() == input.data() + markSize, "the payload starts right after the mark");
    Require(markSize + classified.payload.size() == input.size() || input[markSize + classified.payload.size()] == 0,
            "the payload ends at the file's end or at a NUL");
    if (classified.encoding == TextEncoding::Utf8)
        Require(IsValidUtf8(classified.payload), "only valid text is taken as UTF-8 without a mark");
}

struct PlainDecoding {
    std::u16string text;
    bool valid = true;
};

void AppendCodePoint(std::u16string& text, char32_t cp)
{
    if (cp < 0x10000) {
        text += static_cast<char16_t>(cp);
    } else {
        text += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
}

// Byte by byte, with the second byte's range for each lead; a sequence cut short is one U+FFFD.
PlainDecoding DecodePlainly(std::span<const std::uint8_t> bytes)
{
    PlainDecoding result;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::uint8_t lead = bytes[i];
        std::size_t needed = 0;
        std::uint8_t low = 0x80;
        std::uint8_t high = 0xBF;
        if (lead < 0x80) {
            result.text += lead;
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            needed = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            needed = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            needed = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        char32_t cp = lead & (0x7F >> (needed + 1));
        std::size_t taken = 1;
        while (needed != 0 && taken <= needed && i + taken < bytes.size()) {
            const std::uint8_t next = bytes[i + taken];
            if (next < (taken == 1 ? low : 0x80) || next > (taken == 1 ? high : 0xBF))
                break;
            cp = (cp << 6) | (next & 0x3F);
            ++taken;
        }
        if (needed == 0 || taken <= needed) {
            result.text += u'\uFFFD';
            result.valid = false;
        } else {
            AppendCodePoint(result.text, cp);
        }
        i += taken;
    }
    return result;
}

std::string EncodePlainly(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// Opening the file in one go gives what recognising it and then decoding its payload gives.
void CheckAgainstPlainVersions(std::span<const std::uint8_t> input)
{
    const PlainDecoding plain = DecodePlainly(input);
    Require(DecodeUtf8(input) == plain.text, "block-wise decoding matches the plain decoding");
    Require(IsValidUtf8(input) == plain.valid, "block-wise checking matches the plain decoding");

    const ClassifiedText classified = ClassifyTextFile(input);
    const DecodedTextFile file = DecodeTextFile(input);
    Require(file.classified.encoding == classified.encoding, "opening recognises as classifying does");
    Require(file.classified.payload.data() == classified.payload.data() &&
                file.classified.payload.size() == classified.payload.size(),
            "opening takes the payload classifying takes");
    std::u16string expected;
    if (classified.encoding == TextEncoding::Utf16LeWithMark)
        expected = DecodeUtf16Le(classified.payload);
    else if (classified.encoding != TextEncoding::Ansi)
        expected = DecodePlainly(classified.payload).text;
    Require(file.text == expected, "opening decodes the payload as the plain decoding does");
}

// A loaded text's line ends: all CR LF in the editor, and a file whose line ends are all of one
// kind is saved back exactly as it was.
void CheckLineEnds(const std::u16string& text)
{
    std::u16string inEditor = text;
    const bool changed = MakeLineEndsCrLf(inEditor);
    Require(changed == (inEditor != text), "the text changes only when it had a lone CR or LF");
    std::size_t crLf = 0, lone = 0;
    for (std::size_t at = 0; at < inEditor.size(); ++at) {
        if (inEditor[at] == u'\n')
            Require(at > 0 && inEditor[at - 1] == u'\r', "every LF in the editor follows a CR");
        if (inEditor[at] == u'\r')
            Require(at + 1 < inEditor.size() && inEditor[at + 1] == u'\n', "every CR in the editor has its LF");
    }
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') {
            ++crLf;
            ++at;
        } else if (text[at] == u'\r' || text[at] == u'\n') {
            ++lone;
        }
    }
    const bool lfOrCrOnly = text.find(u'\r') == std::u16string::npos || text.find(u'\n') == std::u16string::npos;
    if (lone == 0 || (crLf == 0 && lfOrCrOnly))
        Require(WithLineEnds(inEditor, LineEndsOf(text)) == text, "a file with one kind of line end saves unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's size, so that any read past it is caught.
    const std::vector<std::uint8_t> copy(data, data + size);
    const std::span<const std::uint8_t> input(copy);
    const ClassifiedText classified = ClassifyTextFile(input);
    CheckClassification(input, classified);

    std::u16string text;
    switch (classified.encoding) {
    case TextEncoding::Utf16LeWithMark:
        text = DecodeUtf16Le(classified.payload);
        Require(text.size() == classified.payload.size() / 2, "one unit per two bytes, an odd byte dropped");
        break;
    case TextEncoding::Utf8WithMark:
    case TextEncoding::Utf8:
        text = DecodeUtf8(classified.payload);
        Require(!HasUnpairedSurrogate(text), "decoded UTF-8 holds no lone surrogate");
        Require(text.size() <= classified.payload.size(), "decoding never makes more units than bytes");
        if (IsValidUtf8(classified.payload)) {
            const std::string again = EncodeUtf8(text);
            Require(std::equal(again.begin(), again.end(), classified.payload.begin(), classified.payload.end(),
                               [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }),
                    "valid UTF-8 survives decode and encode byte for byte");
        }
        break;
    case TextEncoding::Ansi:
        text.assign(classified.payload.begin(), classified.payload.end());
        break;
    }

    // Decoding the raw input too reaches every invalid pattern, not only those that survive
    // classification.
    const std::u16string raw = DecodeUtf8(input);
    Require(!HasUnpairedSurrogate(raw), "decoded UTF-8 holds no lone surrogate");
    if (IsValidUtf8(input))
        Require(EncodeUtf8(raw) == std::string(copy.begin(), copy.end()), "valid UTF-8 survives a round trip");
    else
        Require(raw.find(u'\uFFFD') != std::u16string::npos, "invalid UTF-8 decodes with a replacement character");

    CheckLineEnds(text);
    AllowVectorPaths(false);
    CheckLineEnds(text);
    AllowVectorPaths(true);

    const std::string saved = EncodeUtf8(text);
    Require(IsValidUtf8(AsBytes(saved)), "saving always gives valid UTF-8");

    // The input's bytes as UTF-16 text: saving and loading gives it back, lone surrogates
    // replaced.
    const std::u16string units = DecodeUtf16Le(input);
    const std::string encoded = EncodeUtf8(units);
    Require(IsValidUtf8(AsBytes(encoded)), "saving always gives valid UTF-8");
    const std::u16string decoded = DecodeUtf8(AsBytes(encoded));
    Require(decoded == WithLoneSurrogatesReplaced(units), "encode then decode returns the text");
    Require(encoded == EncodePlainly(units), "block-wise encoding matches the plain encoding");

    for (const bool ssse3 : {true, false}) {
        AllowSsse3Decoding(ssse3);
        CheckAgainstPlainVersions(input);
    }
    // The plain loops of targets without SSE2.
    AllowVectorPaths(false);
    CheckAgainstPlainVersions(input);
    AllowVectorPaths(true);
    return 0;
}
