// Loads arbitrary bytes the way the editor does and checks that saving the
// result always gives well-formed UTF-8, and that valid UTF-8 survives
// a load/save cycle byte for byte.

#include "files/text_codec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

namespace {

bool HasUnpairedSurrogate(const std::u16string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return true;
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

std::span<const std::uint8_t> AsBytes(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    const ClassifiedText classified = ClassifyTextFile(input);

    std::u16string text;
    switch (classified.encoding) {
    case TextEncoding::Utf16LeWithMark:
        text = DecodeUtf16Le(classified.payload);
        break;
    case TextEncoding::Utf8WithMark:
    case TextEncoding::Utf8: {
        text = DecodeUtf8(classified.payload);
        if (HasUnpairedSurrogate(text))
            std::abort();
        if (std::memchr(classified.payload.data(), 0, classified.payload.size()) != nullptr)
            std::abort();
        if (IsValidUtf8(classified.payload)) {
            const std::string again = EncodeUtf8(text);
            if (again.size() != classified.payload.size() ||
                std::memcmp(again.data(), classified.payload.data(), again.size()) != 0)
                std::abort();
        } else if (classified.encoding == TextEncoding::Utf8) {
            std::abort(); // only valid text may be taken as UTF-8 without a mark
        }
        break;
    }
    case TextEncoding::Ansi:
        text.assign(classified.payload.begin(), classified.payload.end());
        break;
    }

    // Decoding the raw input too reaches every invalid pattern, not only
    // those that survive classification.
    if (HasUnpairedSurrogate(DecodeUtf8(input)))
        std::abort();

    const std::string saved = EncodeUtf8(text);
    if (!IsValidUtf8(AsBytes(saved)))
        std::abort();
    return 0;
}
