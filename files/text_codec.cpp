#include "files/text_codec.h"

#include <algorithm>
#include <cstring>

#include "text/vector_paths.h"
#include "text/written_string.h"

#ifdef SKOCZEK_SSE2
#include <emmintrin.h>
#endif
// SSSE3 is not part of x86-64, so it is used only where the processor reports it.
#if defined(SKOCZEK_SSE2) && (defined(__GNUC__) || defined(__clang__))
#include <tmmintrin.h>
#define SKOCZEK_SSSE3_IF_PRESENT 1
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

// How far one step got: `read` input units, `written` output units.
struct BlockStep {
    std::size_t read;
    std::size_t written;
};

constexpr std::size_t kBlock = 16;

// Room the block-wise writers may use past the last unit they keep.
constexpr std::size_t kSlack = kBlock;

char16_t* AppendUtf16(char16_t* out, char32_t cp)
{
    if (cp < 0x10000) {
        *out++ = static_cast<char16_t>(cp);
    } else {
        const char32_t offset = cp - 0x10000;
        *out++ = static_cast<char16_t>(0xD800 + (offset >> 10));
        *out++ = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
    }
    return out;
}

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

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Blocks of sixteen bytes or units are taken at once when they are ASCII, or ASCII and
// two-byte sequences (the usual shape of text with Polish letters); anything else goes to the
// exact one-at-a-time code. Without SSE2 everything does.
#ifdef SKOCZEK_SSE2
__m128i Splat8(unsigned byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
__m128i Splat16(unsigned unit) { return _mm_set1_epi16(static_cast<short>(unit)); }
unsigned Bits(__m128i mask) { return static_cast<unsigned>(_mm_movemask_epi8(mask)); }
__m128i LoadBlock(const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); }

// One bit a byte: 01-7F (signed comparison, so 80-FF sort below zero). NUL is left out, as
// it ends the text on some paths.
unsigned AsciiBits(__m128i block) { return Bits(_mm_cmpgt_epi8(block, _mm_setzero_si128())); }
// 80-BF
__m128i ContinuationBytes(__m128i block) { return _mm_cmplt_epi8(block, Splat8(0xC0)); }
// C2-DF
unsigned LeadBits(__m128i block)
{
    return Bits(_mm_and_si128(_mm_cmpgt_epi8(block, Splat8(0xC1)), _mm_cmplt_epi8(block, Splat8(0xE0))));
}

// How many bytes from the block's start are ASCII and whole two-byte sequences, when nothing
// else is there: 16, or 15 when a lead in the last byte has its continuation in the next
// block; 0 when the block holds anything else.
std::size_t SimpleBlockLength(__m128i block, unsigned lead)
{
    const unsigned continuation = Bits(ContinuationBytes(block));
    // Every continuation must follow a lead and every lead but the last byte must have one.
    if ((AsciiBits(block) | lead | continuation) != 0xFFFF || continuation != ((lead << 1) & 0xFFFF))
        return 0;
    return (lead & 0x8000) ? kBlock - 1 : kBlock;
}

// Eight bytes widened to units, each continuation combined with the lead before it.
__m128i TwoByteValues(__m128i bytes, __m128i previous, __m128i continuation)
{
    const __m128i combined = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(previous, Splat16(0x1F)), 6),
                                          _mm_and_si128(bytes, Splat16(0x3F)));
    return _mm_or_si128(_mm_and_si128(continuation, combined), _mm_andnot_si128(continuation, bytes));
}

// Stores each unit as far left as the leads before it allow, so that a continuation's unit
// overwrites its lead's. A lead in the last byte lands past the units kept, in the room the
// caller leaves. Returns how many units are kept, counting such a lead.
std::size_t DropLeadsOneByOne(__m128i low, __m128i high, __m128i continuation, char16_t* out)
{
    alignas(16) char16_t units[kBlock];
    _mm_store_si128(reinterpret_cast<__m128i*>(units), low);
    _mm_store_si128(reinterpret_cast<__m128i*>(units + 8), high);
    // Leads before each position (the continuations up to it), summed in four shifted adds.
    __m128i before = _mm_and_si128(continuation, Splat8(1));
    before = _mm_add_epi8(before, _mm_slli_si128(before, 1));
    before = _mm_add_epi8(before, _mm_slli_si128(before, 2));
    before = _mm_add_epi8(before, _mm_slli_si128(before, 4));
    before = _mm_add_epi8(before, _mm_slli_si128(before, 8));
    alignas(16) std::uint8_t dropped[kBlock];
    _mm_store_si128(reinterpret_cast<__m128i*>(dropped), before);
    for (std::size_t i = 0; i < kBlock; ++i)
        out[i - dropped[i]] = units[i];
    return kBlock - dropped[kBlock - 1];
}

#ifdef SKOCZEK_SSSE3_IF_PRESENT
// For each set of kept lanes among eight, the byte shuffle that moves them to the front.
struct KeptLanes {
    std::uint8_t shuffle[256][16];
    std::uint8_t count[256];
};

constexpr KeptLanes MakeKeptLanes()
{
    KeptLanes table{};
    for (unsigned kept = 0; kept < 256; ++kept) {
        unsigned count = 0;
        for (unsigned lane = 0; lane < 8; ++lane) {
            if ((kept >> lane) & 1) {
                table.shuffle[kept][2 * count] = static_cast<std::uint8_t>(2 * lane);
                table.shuffle[kept][2 * count + 1] = static_cast<std::uint8_t>(2 * lane + 1);
                ++count;
            }
        }
        for (unsigned byte = 2 * count; byte < 16; ++byte)
            table.shuffle[kept][byte] = 0x80;
        table.count[kept] = static_cast<std::uint8_t>(count);
    }
    return table;
}

constexpr KeptLanes kKeptLanes = MakeKeptLanes();

__attribute__((target("ssse3"))) std::size_t DropLeadsByShuffle(__m128i low, __m128i high, unsigned kept,
                                                                 char16_t* out)
{
    const unsigned keptLow = kept & 0xFF;
    const unsigned keptHigh = kept >> 8;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_shuffle_epi8(low, LoadBlock(kKeptLanes.shuffle[keptLow])));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + kKeptLanes.count[keptLow]),
                     _mm_shuffle_epi8(high, LoadBlock(kKeptLanes.shuffle[keptHigh])));
    return std::size_t{kKeptLanes.count[keptLow]} + kKeptLanes.count[keptHigh];
}

bool ProcessorHasSsse3()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

// Set once at start; only tests change it afterwards.
bool dropLeadsByShuffle = ProcessorHasSsse3();
#endif

// Each position's unit is worked out at once, then the leads are dropped.
std::size_t DecodeSimpleBlock(__m128i block, unsigned lead, char16_t* out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i previous = _mm_slli_si128(block, 1);
    const __m128i continuation = ContinuationBytes(block);
    const __m128i low = TwoByteValues(_mm_unpacklo_epi8(block, zero), _mm_unpacklo_epi8(previous, zero),
                                      _mm_unpacklo_epi8(continuation, continuation));
    const __m128i high = TwoByteValues(_mm_unpackhi_epi8(block, zero), _mm_unpackhi_epi8(previous, zero),
                                       _mm_unpackhi_epi8(continuation, continuation));
#ifdef SKOCZEK_SSSE3_IF_PRESENT
    if (dropLeadsByShuffle)
        return DropLeadsByShuffle(low, high, ~lead & 0xFFFF, out);
#endif
    return DropLeadsOneByOne(low, high, continuation, out) - (lead >> 15);
}
#endif

// ASCII without NUL, sixteen bytes at a time from `at`, widened to `out` when it is given;
// returns how many bytes.
std::size_t AsciiBlocks(std::span<const std::uint8_t> bytes, std::size_t at, char16_t* out)
{
    std::size_t done = 0;
#ifdef SKOCZEK_SSE2
    const __m128i zero = _mm_setzero_si128();
    const std::size_t available = vectorPathsAllowed ? bytes.size() - at : 0;
    for (; available - done >= kBlock; done += kBlock) {
        const __m128i block = LoadBlock(bytes.data() + at + done);
        if (AsciiBits(block) != 0xFFFF)
            break;
        if (out) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done + 8), _mm_unpackhi_epi8(block, zero));
        }
    }
#else
    (void)bytes;
    (void)at;
    (void)out;
#endif
    return done;
}

// The next block when it is ASCII and two-byte sequences, decoded to `out` when it is given;
// reads nothing when it is anything else or shorter.
BlockStep SimpleBlock(std::span<const std::uint8_t> bytes, std::size_t at, char16_t* out)
{
#ifdef SKOCZEK_SSE2
    if (vectorPathsAllowed && bytes.size() - at >= kBlock) {
        const __m128i block = LoadBlock(bytes.data() + at);
        const unsigned lead = LeadBits(block);
        if (const std::size_t length = SimpleBlockLength(block, lead))
            return {length, out ? DecodeSimpleBlock(block, lead, out) : 0};
    }
#else
    (void)bytes;
    (void)at;
    (void)out;
#endif
    return {0, 0};
}

// Decodes well-formed UTF-8 from `at` and stops at the end, at a NUL or at the first byte of an
// ill-formed sequence; returns where it stopped. Without `out` it only checks. `out` needs
// room for a unit a byte, and kSlack more.
std::size_t DecodeWellFormed(std::span<const std::uint8_t> bytes, std::size_t at, char16_t*& out)
{
    while (at < bytes.size()) {
        const std::size_t ascii = AsciiBlocks(bytes, at, out);
        at += ascii;
        if (out)
            out += ascii;
        const BlockStep simple = SimpleBlock(bytes, at, out);
        if (simple.read != 0) {
            at += simple.read;
            if (out)
                out += simple.written;
            continue;
        }
        // The exact reader takes at least a block's worth before the blocks are tried again.
        const std::size_t until = std::min(at + kBlock, bytes.size());
        while (at < until) {
            const Utf8Step step = ReadUtf8(bytes, at);
            if (!step.valid || step.codePoint == 0)
                return at;
            if (out)
                out = AppendUtf16(out, step.codePoint);
            at += step.length;
        }
    }
    return at;
}

// Decodes as DecodeUtf8 does into `text`; with `stopAtNul` it stops at the first NUL. Returns
// where it stopped.
std::size_t DecodeReplacing(std::span<const std::uint8_t> bytes, bool stopAtNul, std::u16string& text)
{
    std::size_t at = 0;
    // A unit a byte at most (a four-byte sequence gives two).
    text = WrittenString(bytes.size() + kSlack, [&](char16_t* start) {
        char16_t* out = start;
        while ((at = DecodeWellFormed(bytes, at, out)) < bytes.size()) {
            const Utf8Step step = ReadUtf8(bytes, at);
            if (step.valid && stopAtNul)
                break;
            // A valid step here can only be the NUL.
            *out++ = step.valid ? u'\0' : kReplacement;
            at += step.length;
        }
        return static_cast<std::size_t>(out - start);
    });
    return at;
}

#ifdef SKOCZEK_SSE2
// One bit a unit, for sixteen units: set where the unit has any of `bits`.
unsigned UnitsWithAny(__m128i first, __m128i second, unsigned bits)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i firstClear = _mm_cmpeq_epi16(_mm_and_si128(first, Splat16(bits)), zero);
    const __m128i secondClear = _mm_cmpeq_epi16(_mm_and_si128(second, Splat16(bits)), zero);
    return ~Bits(_mm_packs_epi16(firstClear, secondClear)) & 0xFFFF;
}

// Eight units below 0x800 as byte pairs: a lead and a continuation, or the ASCII byte (and a
// second byte that is not kept).
__m128i TwoBytePairs(__m128i units)
{
    const __m128i lead = _mm_or_si128(_mm_srli_epi16(units, 6), Splat16(0xC0));
    const __m128i continuation = _mm_or_si128(_mm_and_si128(units, Splat16(0x3F)), Splat16(0x80));
    const __m128i pairs = _mm_or_si128(lead, _mm_slli_epi16(continuation, 8));
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, Splat16(0xFF80)), _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(ascii, units), _mm_andnot_si128(ascii, pairs));
}

// Sixteen units below 0x800: each written as its pair, and the end moved on by one or two.
std::size_t EncodeSimpleBlock(__m128i first, __m128i second, unsigned wide, char* out)
{
    alignas(16) std::uint8_t pairs[2 * kBlock];
    _mm_store_si128(reinterpret_cast<__m128i*>(pairs), TwoBytePairs(first));
    _mm_store_si128(reinterpret_cast<__m128i*>(pairs + kBlock), TwoBytePairs(second));
    std::size_t written = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        std::memcpy(out + written, pairs + 2 * i, 2);
        written += 1 + ((wide >> i) & 1);
    }
    return written;
}
#endif

// ASCII units, sixteen at a time from `at`, narrowed to `out`; returns how many.
std::size_t NarrowAsciiBlocks(std::u16string_view text, std::size_t at, char* out)
{
    std::size_t done = 0;
#ifdef SKOCZEK_SSE2
    const std::size_t available = vectorPathsAllowed ? text.size() - at : 0;
    for (; available - done >= kBlock; done += kBlock) {
        const __m128i first = LoadBlock(text.data() + at + done);
        const __m128i second = LoadBlock(text.data() + at + done + 8);
        if (UnitsWithAny(first, second, 0xFF80) != 0)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done), _mm_packus_epi16(first, second));
    }
#else
    (void)text;
    (void)at;
    (void)out;
#endif
    return done;
}

// Encodes the next sixteen units at once when all are below 0x800 (so no surrogates); reads
// nothing when any is not or there are fewer.
BlockStep EncodeSimpleBlockAt(std::u16string_view text, std::size_t at, char* out)
{
#ifdef SKOCZEK_SSE2
    if (vectorPathsAllowed && text.size() - at >= kBlock) {
        const __m128i first = LoadBlock(text.data() + at);
        const __m128i second = LoadBlock(text.data() + at + 8);
        if (UnitsWithAny(first, second, 0xF800) == 0)
            return {kBlock, EncodeSimpleBlock(first, second, UnitsWithAny(first, second, 0xFF80), out)};
    }
#else
    (void)text;
    (void)at;
    (void)out;
#endif
    return {0, 0};
}

// Room for the encoded text: one, two or three bytes a unit (a surrogate pair needs four of
// the six counted for it).
std::size_t Utf8Room(std::u16string_view text)
{
    std::size_t room = 3 * text.size();
    std::size_t at = 0;
#ifdef SKOCZEK_SSE2
    // Each lane counts down once for a unit that needs no second byte and once for one that
    // needs no third; the lanes are added up before they could overflow.
    constexpr std::size_t kRoundsPerSum = 4096;
    const __m128i zero = _mm_setzero_si128();
    while (vectorPathsAllowed && text.size() - at >= 8) {
        __m128i saved = zero;
        for (std::size_t round = 0; round < kRoundsPerSum && text.size() - at >= 8; ++round, at += 8) {
            const __m128i units = LoadBlock(text.data() + at);
            saved = _mm_add_epi16(saved, _mm_cmpeq_epi16(_mm_and_si128(units, Splat16(0xFF80)), zero));
            saved = _mm_add_epi16(saved, _mm_cmpeq_epi16(_mm_and_si128(units, Splat16(0xF800)), zero));
        }
        alignas(16) std::int16_t lanes[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), saved);
        for (const std::int16_t lane : lanes)
            room -= static_cast<std::size_t>(-lane);
    }
#endif
    for (; at < text.size(); ++at)
        room -= static_cast<std::size_t>((text[at] < 0x80) + (text[at] < 0x800));
    return room;
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

// Encodes the unit at `at`, or the surrogate pair that starts there; returns how many units it
// took.
std::size_t EncodeUnitAt(std::u16string_view text, std::size_t at, char*& out)
{
    const char16_t unit = text[at];
    if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
        out = AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[at + 1]} - 0xDC00));
        return 2;
    }
    out = AppendUtf8(out, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit);
    return 1;
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

DecodedTextFile DecodeTextFile(std::span<const std::uint8_t> fileBytes)
{
    if (fileBytes.size() >= 2 && fileBytes[0] == 0xFF && fileBytes[1] == 0xFE) {
        const auto payload = fileBytes.subspan(2);
        return {{TextEncoding::Utf16LeWithMark, payload}, DecodeUtf16Le(payload)};
    }

    DecodedTextFile file{{TextEncoding::Utf8WithMark, {}}, {}};
    if (fileBytes.size() >= 3 && fileBytes[0] == 0xEF && fileBytes[1] == 0xBB && fileBytes[2] == 0xBF) {
        const auto payload = fileBytes.subspan(3);
        file.classified.payload = payload.first(DecodeReplacing(payload, true, file.text));
        return file;
    }

    // Decoding up to the first NUL or ill-formed byte is also what tells UTF-8 from ANSI, so
    // the bytes are read once.
    std::size_t stop = 0;
    file.text = WrittenString(fileBytes.size() + kSlack, [&](char16_t* start) {
        char16_t* out = start;
        stop = DecodeWellFormed(fileBytes, 0, out);
        return static_cast<std::size_t>(out - start);
    });
    const std::size_t decoded = file.text.size();
    const bool wellFormed = stop == fileBytes.size() || fileBytes[stop] == 0;
    // Pure ASCII gives a unit a byte, and reads the same either way, so it stays on the code
    // page path.
    if (wellFormed && decoded != stop) {
        file.classified = {TextEncoding::Utf8, fileBytes.first(stop)};
        return file;
    }
    file.classified = {TextEncoding::Ansi, wellFormed ? fileBytes.first(stop) : CutAtNul(fileBytes)};
    file.text.clear();
    return file;
}

bool IsValidUtf8(std::span<const std::uint8_t> bytes)
{
    char16_t* checkOnly = nullptr;
    std::size_t at = 0;
    // A NUL is well-formed here; only an ill-formed sequence stops the check.
    while ((at = DecodeWellFormed(bytes, at, checkOnly)) < bytes.size()) {
        if (bytes[at] != 0)
            return false;
        ++at;
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
    std::u16string text;
    DecodeReplacing(payload, false, text);
    return text;
}

std::string EncodeUtf8(std::u16string_view text)
{
    return WrittenString<char>(Utf8Room(text) + kSlack, [text](char* start) {
        char* out = start;
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t ascii = NarrowAsciiBlocks(text, at, out);
            at += ascii;
            out += ascii;
            const BlockStep simple = EncodeSimpleBlockAt(text, at, out);
            if (simple.read != 0) {
                at += simple.read;
                out += simple.written;
                continue;
            }
            // A surrogate pair may take this one unit past the block.
            const std::size_t until = std::min(at + kBlock, text.size());
            while (at < until)
                at += EncodeUnitAt(text, at, out);
        }
        return static_cast<std::size_t>(out - start);
    });
}

void AllowSsse3Decoding([[maybe_unused]] bool allowed)
{
#ifdef SKOCZEK_SSSE3_IF_PRESENT
    dropLeadsByShuffle = allowed && ProcessorHasSsse3();
#endif
}
