#pragma once
// Small helpers shared by the fuzz targets: a check that names the broken property, and texts
// built from the fuzzer's bytes.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// libFuzzer treats the abort as a finding; the message says which property broke.
inline void Require(bool condition, const char* property)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

// Printable ASCII, tab, LF and CR stand for themselves, so that seeds read as text; other bytes
// below 0xC0 pick a character from `alphabet`, so that the characters a function reacts to turn
// up often; a byte from 0xC0 up takes the next two bytes as any UTF-16 unit at all, surrogates
// included.
inline std::u16string TextFromBytes(std::string_view bytes, std::u16string_view alphabet)
{
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if ((byte >= 0x20 && byte < 0x7F) || byte == '\t' || byte == '\n' || byte == '\r') {
            text += static_cast<char16_t>(byte);
        } else if (byte < 0xC0 || i + 2 >= bytes.size()) {
            text += alphabet[byte % alphabet.size()];
        } else {
            const auto low = static_cast<unsigned char>(bytes[i + 1]);
            const auto high = static_cast<unsigned char>(bytes[i + 2]);
            text += static_cast<char16_t>(low | (high << 8));
            i += 2;
        }
    }
    return text;
}

inline std::u16string ConsumeText(FuzzedDataProvider& input, std::u16string_view alphabet, std::size_t maxBytes)
{
    return TextFromBytes(input.ConsumeRandomLengthString(maxBytes), alphabet);
}

inline std::u16string ConsumeRestAsText(FuzzedDataProvider& input, std::u16string_view alphabet)
{
    return TextFromBytes(input.ConsumeRemainingBytesAsString(), alphabet);
}
