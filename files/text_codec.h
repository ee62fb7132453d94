#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// How a text file's bytes are to be read. Files are always written as
// UTF-8 without a byte-order mark.
enum class TextEncoding { Utf16LeWithMark, Utf8WithMark, Utf8, Ansi };

struct ClassifiedText {
    TextEncoding encoding;
    // Bytes after any mark. For Utf8WithMark, Utf8 and Ansi the bytes stop
    // before the first NUL, since the edit control cannot hold one.
    std::span<const std::uint8_t> payload;
};

ClassifiedText ClassifyTextFile(std::span<const std::uint8_t> fileBytes);

struct DecodedTextFile {
    ClassifiedText classified;
    // The decoded payload; empty for Ansi, which the code page decodes.
    std::u16string text;
};

// What opening a file takes: ClassifyTextFile, then DecodeUtf16Le or DecodeUtf8 of the payload,
// done mostly in one pass.
DecodedTextFile DecodeTextFile(std::span<const std::uint8_t> fileBytes);

// Strict UTF-8: no overlong forms, no encoded surrogates, nothing above
// U+10FFFF, no truncated sequences or stray continuation bytes.
bool IsValidUtf8(std::span<const std::uint8_t> bytes);

// Little-endian units taken as they are; an odd trailing byte is dropped.
std::u16string DecodeUtf16Le(std::span<const std::uint8_t> payload);

// Each maximal invalid subpart becomes one U+FFFD.
std::u16string DecodeUtf8(std::span<const std::uint8_t> payload);

// Surrogate pairs become 4-byte sequences; lone surrogates become U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

// Decoding uses SSSE3 where the processor has it, and plain SSE2 otherwise. Tests turn SSSE3
// off to check the plain path on a processor that has it.
void AllowSsse3Decoding(bool allowed);
