#include "output/output_stream.h"

#include <algorithm>

#include "text/decimal_text.h"

void CappedOutput::Add(std::string_view bytes)
{
    for (char byte : bytes) {
        if (byte == '\0')
            continue;
        if (kept_ < limit_) {
            pending_ += byte;
            ++kept_;
        } else {
            ++leftOut_;
        }
    }
}

std::string CappedOutput::TakePending()
{
    std::string taken;
    taken.swap(pending_);
    return taken;
}

std::u16string LongLineBreaker::Apply(std::u16string_view text)
{
    std::u16string broken;
    broken.reserve(text.size() + text.size() / longest_ * 2);
    for (char16_t c : text) {
        const bool secondHalf = afterHighSurrogate_ && c >= 0xDC00 && c <= 0xDFFF;
        afterHighSurrogate_ = c >= 0xD800 && c <= 0xDBFF;
        if (c == u'\n' && !afterCr_)
            broken += u'\r';
        afterCr_ = c == u'\r';
        if (c == u'\r' || c == u'\n') {
            lineLength_ = 0;
        } else if (secondHalf) {
            // Counted with its first half.
        } else if (lineLength_ == longest_) {
            broken += u"\r\n";
            lineLength_ = 1;
        } else {
            ++lineLength_;
        }
        broken += c;
    }
    return broken;
}

namespace {

std::size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

std::size_t CompleteUtf8Bytes(std::string_view bytes)
{
    // Only the last three bytes can begin a sequence that is still open.
    const std::size_t lookBack = std::min<std::size_t>(bytes.size(), 3);
    for (std::size_t back = 1; back <= lookBack; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;  // a continuation byte: look further back for its lead
        return Utf8SequenceLength(byte) > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

std::size_t CompleteLeadByteCharacters(std::string_view bytes, const std::array<bool, 256>& isLeadByte)
{
    // A trail byte may look like a lead byte, so the pairs are counted from the start.
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t width = isLeadByte[static_cast<unsigned char>(bytes[at])] ? 2 : 1;
        if (at + width > bytes.size())
            break;
        at += width;
    }
    return at;
}

}  // namespace

std::size_t CompleteCharacterBytes(std::string_view bytes, const ByteCharacterShape& shape)
{
    switch (shape.kind) {
    case ByteCharacterShape::Kind::Utf8:
        return CompleteUtf8Bytes(bytes);
    case ByteCharacterShape::Kind::LeadBytes:
        return CompleteLeadByteCharacters(bytes, shape.isLeadByte);
    case ByteCharacterShape::Kind::SingleByte:
        break;
    }
    return bytes.size();
}

namespace {

enum class Utf8Scan {
    Valid,     // whole sequences only
    Open,      // valid, but the last sequence still misses bytes
    Invalid,
};

struct PieceScan {
    std::size_t length = 0;  // up to and with the LF, or the bytes looked at
    bool endsWithLf = false;
    Utf8Scan utf8 = Utf8Scan::Valid;
    bool multiByte = false;
    std::size_t openAt = 0;  // where the open sequence starts
};

// The range the byte after a lead byte must fall in, so that overlong forms, surrogates and
// values above U+10FFFF are refused.
bool SecondByteFits(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return (second & 0xC0) == 0x80;
    }
}

std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;  // ASCII, a stray continuation byte or a byte UTF-8 never uses
}

// One pass: finds where the piece ends and whether it is UTF-8 with a multi-byte sequence.
// Past `longest` bytes a valid sequence is still finished, so that no character is cut.
PieceScan ScanPiece(std::string_view bytes, std::size_t longest)
{
    PieceScan scan;
    std::size_t at = 0;
    const std::size_t size = bytes.size();
    while (at < size) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            ++at;
            if (byte == '\n') {
                scan.endsWithLf = true;
                break;
            }
            if (at >= longest)
                break;
            continue;
        }
        if (scan.utf8 == Utf8Scan::Invalid) {
            ++at;
            if (at >= longest)
                break;
            continue;
        }
        const std::size_t length = SequenceLength(byte);
        std::size_t have = 1;
        bool fits = length != 0;
        while (fits && have < length && at + have < size) {
            const auto next = static_cast<unsigned char>(bytes[at + have]);
            fits = have == 1 ? SecondByteFits(byte, next) : (next & 0xC0) == 0x80;
            if (fits)
                ++have;
        }
        if (!fits) {
            scan.utf8 = Utf8Scan::Invalid;
            ++at;
        } else if (have < length) {
            scan.utf8 = Utf8Scan::Open;
            scan.openAt = at;
            at = size;
            break;
        } else {
            scan.multiByte = true;
            at += length;
        }
        if (at >= longest)
            break;
    }
    scan.length = at;
    return scan;
}

}  // namespace

std::vector<OutputPiece> LineDecider::Take(std::string_view bytes, bool atEnd)
{
    held_.append(bytes.data(), bytes.size());
    std::vector<OutputPiece> pieces;
    std::size_t start = 0;
    while (start < held_.size()) {
        const std::string_view rest(held_.data() + start, held_.size() - start);
        const PieceScan scan = ScanPiece(rest, longest_);
        std::size_t length = scan.length;
        PieceEncoding encoding = scan.utf8 != Utf8Scan::Invalid && scan.multiByte ? PieceEncoding::Utf8 : PieceEncoding::Oem;
        const bool cutShort = !scan.endsWithLf && !atEnd;
        if (cutShort && scan.utf8 == Utf8Scan::Open) {
            // The open sequence waits for its last bytes; what came before it is decided now.
            length = scan.openAt;
        } else if (cutShort && encoding == PieceEncoding::Oem) {
            length = CompleteCharacterBytes(rest.substr(0, length), oemShape_);
        }
        if (!cutShort && scan.utf8 == Utf8Scan::Open)
            encoding = PieceEncoding::Oem;  // the output ended inside a sequence
        if (length == 0)
            break;
        // Neighbours decided alike are decoded together: a flood of ASCII is one piece.
        if (!pieces.empty() && pieces.back().encoding == encoding)
            pieces.back().bytes.append(rest.data(), length);
        else
            pieces.push_back({std::string(rest.substr(0, length)), encoding});
        start += length;
    }
    held_.erase(0, start);
    return pieces;
}

std::u16string FinishedLine(std::uint32_t exitCode, std::uint64_t milliseconds)
{
    std::u16string code;
    const std::uint32_t top = exitCode >> 28;
    if (top == 0xC || top == 0x8) {
        code = u"0x";
        for (int shift = 28; shift >= 0; shift -= 4)
            code += u"0123456789ABCDEF"[(exitCode >> shift) & 0xF];
    } else if (exitCode & 0x80000000u) {
        code = u"-" + DecimalText(0x100000000ull - exitCode);
    } else {
        code = DecimalText(exitCode);
    }
    const std::uint64_t hundredths = (milliseconds + 5) / 10;
    const std::uint64_t fraction = hundredths % 100;
    return u"[Zakończono z kodem " + code + u" po " + DecimalText(hundredths / 100) + u"," +
           (fraction < 10 ? u"0" : u"") + DecimalText(fraction) + u" s.]";
}

std::u16string StoppedLine()
{
    return u"\r\n[Program zatrzymany klawiszem Esc.]\r\n";
}

std::u16string LeftRunningLine()
{
    return u"[Coś uruchomionego przez polecenie nadal działa i trzyma jego wyjście.]\r\n";
}

std::u16string LeftOutLine(std::uint64_t bytes)
{
    return u"\r\n[Pominięto dalsze " + DecimalText(bytes) + u" bajtów wyjścia.]\r\n";
}
