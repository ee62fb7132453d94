// A command's output on its way to the pane, fed in pieces of any size: the cap keeps exactly
// the first bytes but zeros and counts the rest; the line breaker inserts CR LF and nothing else,
// so that no line is longer than the limit, and only where a line is too long, never inside a
// surrogate pair; the character boundary never cuts into a character or holds back a whole one.

#include "output/output_stream.h"

#include <algorithm>
#include <string>

#include "fuzz/fuzz_support.h"

namespace {

constexpr std::u16string_view kAlphabet = u"aaaa\r\n\xD83D\xDE00";

bool IsBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

bool IsPair(char16_t first, char16_t second)
{
    return first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
}

// The low half of a surrogate pair, which the breaker counts with its high half.
bool IsSecondHalf(std::u16string_view text, std::size_t at)
{
    return at > 0 && IsPair(text[at - 1], text[at]);
}

void CheckCap(FuzzedDataProvider& input)
{
    const std::size_t limit = input.ConsumeIntegralInRange<std::size_t>(0, 64);
    CappedOutput output(limit);
    std::string fed;
    std::string taken;
    for (int piece = input.ConsumeIntegralInRange(0, 6); piece > 0; --piece) {
        const std::string bytes = input.ConsumeRandomLengthString(48);
        output.Add(bytes);
        fed += bytes;
        if (input.ConsumeBool())
            taken += output.TakePending();
    }
    taken += output.TakePending();
    Require(output.TakePending().empty(), "what was handed over is not handed over again");

    std::string nonzero = fed;
    nonzero.erase(std::remove(nonzero.begin(), nonzero.end(), '\0'), nonzero.end());
    const std::size_t kept = std::min(limit, nonzero.size());
    Require(taken == nonzero.substr(0, kept), "the first bytes but zeros are kept, in order");
    Require(output.LeftOut() == nonzero.size() - kept, "every byte past the cap is counted");
}

void CheckLineBreaker(FuzzedDataProvider& input)
{
    const std::size_t longest = input.ConsumeIntegralInRange<std::size_t>(1, 8);
    LongLineBreaker breaker(longest);
    std::u16string fed;
    std::u16string out;
    for (int piece = input.ConsumeIntegralInRange(0, 6); piece > 0; --piece) {
        const std::u16string text = ConsumeText(input, kAlphabet, 64);
        out += breaker.Apply(text);
        fed += text;
    }

    // Matching the output against the input leaves only the inserted breaks over.
    std::size_t inserted = 0;
    std::size_t i = 0;
    for (std::size_t j = 0; j < out.size();) {
        // A lone LF gains the CR before it.
        if (i < fed.size() && fed[i] == u'\n' && (i == 0 || fed[i - 1] != u'\r') && out[j] == u'\r') {
            ++j;
            Require(j < out.size() && out[j] == u'\n', "a CR is added only before a lone LF");
            continue;
        }
        if (i < fed.size() && out[j] == fed[i]) {
            ++i;
            ++j;
            continue;
        }
        Require(out.compare(j, 2, u"\r\n") == 0, "the output is the input with only CR LF and the CR of lone LFs inserted");
        Require(!(j > 0 && j + 2 < out.size() && IsPair(out[j - 1], out[j + 2])),
                "no break falls inside a surrogate pair");
        ++inserted;
        j += 2;
    }
    Require(i == fed.size(), "the output holds the whole input");

    std::size_t run = 0;
    for (std::size_t k = 0; k < out.size(); ++k) {
        run = IsBreak(out[k]) ? 0 : IsSecondHalf(out, k) ? run : run + 1;
        Require(run <= longest, "no line is longer than the limit");
    }
    // A run of n characters needs (n - 1) / longest breaks, and gets no more.
    std::size_t needed = 0;
    run = 0;
    for (std::size_t k = 0; k <= fed.size(); ++k) {
        if (k == fed.size() || IsBreak(fed[k])) {
            needed += run == 0 ? 0 : (run - 1) / longest;
            run = 0;
        } else if (!IsSecondHalf(fed, k)) {
            ++run;
        }
    }
    Require(inserted == needed, "lines are broken only where they are too long");
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

void CheckCharacterBoundary(FuzzedDataProvider& input)
{
    ByteCharacterShape shape;
    shape.kind = input.PickValueInArray({ByteCharacterShape::Kind::SingleByte, ByteCharacterShape::Kind::LeadBytes,
                                         ByteCharacterShape::Kind::Utf8});
    const unsigned char firstLead = input.ConsumeIntegral<unsigned char>();
    const unsigned char lastLead = input.ConsumeIntegral<unsigned char>();
    for (unsigned byte = firstLead; byte <= lastLead; ++byte)
        shape.isLeadByte[byte] = true;
    const std::string bytes = input.ConsumeRandomLengthString(32);

    const std::size_t complete = CompleteCharacterBytes(bytes, shape);
    Require(complete <= bytes.size(), "the boundary lies within the bytes");
    const std::string_view rest = std::string_view(bytes).substr(complete);
    switch (shape.kind) {
    case ByteCharacterShape::Kind::SingleByte:
        Require(rest.empty(), "single bytes are always whole characters");
        break;
    case ByteCharacterShape::Kind::LeadBytes: {
        std::size_t at = 0;
        while (at < complete)
            at += shape.isLeadByte[static_cast<unsigned char>(bytes[at])] ? 2 : 1;
        Require(at == complete, "the boundary falls between characters counted from the start");
        Require(rest.empty() || (rest.size() == 1 && shape.isLeadByte[static_cast<unsigned char>(rest[0])]),
                "only a lead byte without its trail byte is held back");
        break;
    }
    case ByteCharacterShape::Kind::Utf8: {
        Require(rest.size() <= 3, "at most an unfinished sequence is held back");
        if (rest.empty())
            break;
        const auto lead = static_cast<unsigned char>(rest[0]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        Require(lead >= 0xC0 && rest.size() < length, "only a sequence still waiting for bytes is held back");
        Require(std::all_of(rest.begin() + 1, rest.end(), [](char c) { return IsContinuation(static_cast<unsigned char>(c)); }),
                "only continuation bytes follow the held-back lead");
        break;
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        CheckCap(input);
        break;
    case 1:
        CheckLineBreaker(input);
        break;
    case 2:
        CheckCharacterBoundary(input);
        break;
    default: {
        const std::uint64_t count = input.ConsumeIntegral<std::uint64_t>();
        const std::u16string line = LeftOutLine(count);
        const std::size_t digits = line.find_first_of(u"0123456789");
        const std::size_t end = line.find_first_not_of(u"0123456789", digits);
        std::uint64_t read = 0;
        for (std::size_t k = digits; k < end; ++k)
            read = read * 10 + (line[k] - u'0');
        Require(read == count && line.find_first_of(u"0123456789", end) == std::u16string::npos,
                "the left-out line shows the count");
        break;
    }
    }
    return 0;
}
