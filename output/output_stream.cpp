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
        if (c == u'\r' || c == u'\n') {
            lineLength_ = 0;
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

std::u16string StoppedLine()
{
    return u"\r\n[Program zatrzymany klawiszem Esc.]\r\n";
}

std::u16string LeftOutLine(std::uint64_t bytes)
{
    return u"\r\n[Pominięto dalsze " + DecimalText(bytes) + u" bajtów wyjścia.]\r\n";
}
