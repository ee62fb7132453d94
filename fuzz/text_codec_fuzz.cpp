// Loads arbitrary bytes the way the editor does and checks that saving the result always gives
// well-formed UTF-8, that valid UTF-8 survives a load/save cycle byte for byte, and that the
// same bytes taken as UTF-16 text survive a save/load cycle unit for unit.

#include "files/text_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

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

    const std::string saved = EncodeUtf8(text);
    Require(IsValidUtf8(AsBytes(saved)), "saving always gives valid UTF-8");

    // The input's bytes as UTF-16 text: saving and loading gives it back, lone surrogates
    // replaced.
    const std::u16string units = DecodeUtf16Le(input);
    const std::string encoded = EncodeUtf8(units);
    Require(IsValidUtf8(AsBytes(encoded)), "saving always gives valid UTF-8");
    const std::u16string decoded = DecodeUtf8(AsBytes(encoded));
    Require(decoded == WithLoneSurrogatesReplaced(units), "encode then decode returns the text");
    return 0;
}
