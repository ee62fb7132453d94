#include "files/text_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define SKOCZEK_SSE2 1
#endif

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// Outcome of reading one UTF-8 sequence. `length` is always at least 1:
// for a valid sequence it covers the whole sequence, for an invalid one it
// covers the maximal invalid subpart that is replaced by a single U+FFFD.
struct Utf8Step {
    bool valid;
    std::size_t length;
    char32_t codePoint;
};

Utf8Step ReadUtf8(std::span<const std::uint8_t> bytes, std::size_t at)
{
    const std::uint8_t lead = bytes[at];
    if (lead < 0x80)
        return {true, 1, lead};

    // The range allowed for the second byte is what rules out overlong forms,
    // surrogates and values above U+10FFFF; later bytes are plain 80-BF.
    std::size_t needed = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        // Stray continuation byte, C0/C1, or F5-FF: never starts a sequence.
        return {false, 1, 0};
    }

    std::size_t length = 1;
    for (std::size_t i = 0; i < needed; ++i) {
        if (at + length >= bytes.size())
            return {false, length, 0};
        const std::uint8_t next = bytes[at + length];
        if (next < low || next > high)
            return {false, length, 0};
        value = (value << 6) | (next & 0x3F);
        ++length;
        low = 0x80;
        high = 0xBF;
    }
    return {true, length, value};
}

// How many ASCII bytes start at `at`, counted sixteen at a time; 0 near the end, where the
// caller goes on byte by byte.
std::size_t AsciiPrefix(std::span<const std::uint8_t> bytes, std::size_t at)
{
    std::size_t length = 0;
#ifdef SKOCZEK_SSE2
    while (at + length + 16 <= bytes.size()) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at + length));
        const auto high = static_cast<unsigned>(_mm_movemask_epi8(sixteen));
        if (high != 0)
            return length + static_cast<std::size_t>(std::countr_zero(high));
        length += 16;
    }
#else
    (void)bytes;
    (void)at;
#endif
    return length;
}

// Like AsciiPrefix, and writes those bytes to `out` as units; it may write up to sixteen units
// past them, which the caller's room allows for.
std::size_t WidenAsciiPrefix(std::span<const std::uint8_t> bytes, std::size_t at, char16_t* out)
{
    std::size_t length = 0;
#ifdef SKOCZEK_SSE2
    const __m128i zero = _mm_setzero_si128();
    while (at + length + 16 <= bytes.size()) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at + length));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + length), _mm_unpacklo_epi8(sixteen, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + length + 8), _mm_unpackhi_epi8(sixteen, zero));
        const auto high = static_cast<unsigned>(_mm_movemask_epi8(sixteen));
        if (high != 0)
            return length + static_cast<std::size_t>(std::countr_zero(high));
        length += 16;
    }
#else
    (void)bytes;
    (void)at;
    (void)out;
#endif
    return length;
}

// The common case of a letter outside ASCII, such as a Polish one, decided without the full
// sequence reader.
bool IsTwoByteSequenceAt(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return bytes[at] >= 0xC2 && bytes[at] <= 0xDF && at + 1 < bytes.size() && (bytes[at + 1] & 0xC0) == 0x80;
}

// The length of the run of units below 0x80 at `at`, which encode as one byte each.
std::size_t AsciiUnitRun(std::u16string_view text, std::size_t at)
{
    const std::size_t start = at;
#ifdef SKOCZEK_SSE2
    const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    for (; at + 8 <= text.size(); at += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, highBits), zero)) != 0xFFFF)
            break;
    }
#endif
    while (at < text.size() && text[at] < 0x80)
        ++at;
    return at - start;
}

// Units below 0x80 as bytes, eight at a time where the processor allows.
char* NarrowAscii(const char16_t* units, std::size_t count, char* out)
{
    std::size_t i = 0;
#ifdef SKOCZEK_SSE2
    for (; i + 8 <= count; i += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(eight, eight));
    }
#endif
    for (; i < count; ++i)
        out[i] = static_cast<char>(units[i]);
    return out + count;
}

std::span<const std::uint8_t> CutAtNul(std::span<const std::uint8_t> bytes)
{
    const void* nul = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0, bytes.size());
    return nul ? bytes.first(static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - bytes.data())) : bytes;
}

bool HasHighByte(std::span<const std::uint8_t> bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b >= 0x80; });
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

char* AppendUtf8(char* out, char32_t cp)
{
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Room for the encoded text: one, two or three bytes a unit (a surrogate pair needs four of
// the six counted for it).
std::size_t Utf8Room(std::u16string_view text)
{
    std::size_t room = 0;
    for (char16_t unit : text)
        room += 1 + (unit >= 0x80) + (unit >= 0x800);
    return room;
}

} // namespace

ClassifiedText ClassifyTextFile(std::span<const std::uint8_t> fileBytes)
{
    if (fileBytes.size() >= 2 && fileBytes[0] == 0xFF && fileBytes[1] == 0xFE)
        return {TextEncoding::Utf16LeWithMark, fileBytes.subspan(2)};

    if (fileBytes.size() >= 3 && fileBytes[0] == 0xEF && fileBytes[1] == 0xBB && fileBytes[2] == 0xBF)
        return {TextEncoding::Utf8WithMark, CutAtNul(fileBytes.subspan(3))};

    const auto text = CutAtNul(fileBytes);
    // Pure ASCII reads the same either way, so it stays on the code page path.
    if (HasHighByte(text) && IsValidUtf8(text))
        return {TextEncoding::Utf8, text};
    return {TextEncoding::Ansi, text};
}

bool IsValidUtf8(std::span<const std::uint8_t> bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        at += AsciiPrefix(bytes, at);
        if (at == bytes.size())
            break;
        if (bytes[at] < 0x80) {
            ++at;
            continue;
        }
        if (IsTwoByteSequenceAt(bytes, at)) {
            at += 2;
            continue;
        }
        const Utf8Step step = ReadUtf8(bytes, at);
        if (!step.valid)
            return false;
        at += step.length;
    }
    return true;
}

std::u16string DecodeUtf16Le(std::span<const std::uint8_t> payload)
{
    std::u16string text;
    text.reserve(payload.size() / 2);
    for (std::size_t i = 0; i + 1 < payload.size(); i += 2)
        text.push_back(static_cast<char16_t>(payload[i] | (payload[i + 1] << 8)));
    return text;
}

std::u16string DecodeUtf8(std::span<const std::uint8_t> payload)
{
    // Every byte gives at most one unit (a four-byte sequence gives two); sixteen units more
    // let ASCII be widened sixteen bytes at a time.
    std::u16string text(payload.size() + 16, u'\0');
    char16_t* out = text.data();
    std::size_t at = 0;
    while (at < payload.size()) {
        const std::size_t ascii = WidenAsciiPrefix(payload, at, out);
        at += ascii;
        out += ascii;
        if (at == payload.size())
            break;
        if (payload[at] < 0x80) {
            *out++ = payload[at++];
            continue;
        }
        if (IsTwoByteSequenceAt(payload, at)) {
            *out++ = static_cast<char16_t>(((payload[at] & 0x1F) << 6) | (payload[at + 1] & 0x3F));
            at += 2;
            continue;
        }
        const Utf8Step step = ReadUtf8(payload, at);
        at += step.length;
        if (!step.valid) {
            *out++ = kReplacement;
        } else if (step.codePoint < 0x10000) {
            *out++ = static_cast<char16_t>(step.codePoint);
        } else {
            const char32_t offset = step.codePoint - 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (offset >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        }
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

std::string EncodeUtf8(std::u16string_view text)
{
    std::string encoded(Utf8Room(text), '\0');
    char* out = encoded.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t ascii = AsciiUnitRun(text, i);
        out = NarrowAscii(text.data() + i, ascii, out);
        i += ascii;
        if (i == text.size())
            break;
        const char16_t unit = text[i];
        if (unit < 0x800) {
            *out++ = static_cast<char>(0xC0 | (unit >> 6));
            *out++ = static_cast<char>(0x80 | (unit & 0x3F));
        } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t cp = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
            out = AppendUtf8(out, cp);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            out = AppendUtf8(out, kReplacement);
        } else {
            out = AppendUtf8(out, unit);
        }
    }
    encoded.resize(static_cast<std::size_t>(out - encoded.data()));
    return encoded;
}
