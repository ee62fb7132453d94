#include "output/output_stream.h"

#include <gtest/gtest.h>

namespace {

TEST(CappedOutput, KeepsTheFirstBytesDropsZerosAndCountsTheRest)
{
    CappedOutput output(8);
    output.Add(std::string_view("ab\0cd", 5));
    EXPECT_EQ(output.TakePending(), "abcd");
    EXPECT_EQ(output.TakePending(), "");
    output.Add("efghijkl");
    output.Add("mn");
    EXPECT_EQ(output.TakePending(), "efgh");
    EXPECT_EQ(output.LeftOut(), 6u);
}

TEST(LongLineBreaker, BreaksOnlyLinesLongerThanTheLimitAcrossCalls)
{
    LongLineBreaker breaker(4);
    EXPECT_EQ(breaker.Apply(u"abcd\r\nefgh"), u"abcd\r\nefgh");
    EXPECT_EQ(breaker.Apply(u"ij"), u"\r\nij");
    EXPECT_EQ(breaker.Apply(u"klmnop\n"), u"kl\r\nmnop\r\n");
    EXPECT_EQ(breaker.Apply(u"qrst\ruvwx"), u"qrst\ruvwx");

    LongLineBreaker noBreaks(100);
    EXPECT_EQ(noBreaks.Apply(u"a\nb\r\n\n\nc\r"), u"a\r\nb\r\n\r\n\r\nc\r");
    EXPECT_EQ(noBreaks.Apply(u"\nd\n"), u"\nd\r\n") << "a CR LF split between reads stays one break";

    LongLineBreaker noRoom(0);
    EXPECT_EQ(noRoom.Apply(u"ab\r\nc"), u"a\r\nb\r\nc");

    // A surrogate pair is one character, whole on one line, even when it arrives in two calls.
    struct Case {
        const char* what;
        std::u16string_view first;
        std::u16string_view second;
        std::u16string_view broken;
    };
    const Case cases[] = {
        {"a pair at the limit", u"abc\xD83D\xDE00", u"d", u"abc\xD83D\xDE00\r\nd"},
        {"a pair past the limit", u"abcd\xD83D\xDE00", u"", u"abcd\r\n\xD83D\xDE00"},
        {"a pair split between calls", u"abc\xD83D", u"\xDE00" u"ef", u"abc\xD83D\xDE00\r\nef"},
        {"pairs only", u"\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00", u"\xD83D\xDE00",
         u"\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00\r\n\xD83D\xDE00"},
        {"a lone low half", u"abcd\xDE00", u"", u"abcd\r\n\xDE00"},
        {"a lone high half", u"abc\xD83D", u"de", u"abc\xD83D\r\nde"},
        {"a high half after a break", u"abcd\xD83D", u"\xDE00", u"abcd\r\n\xD83D\xDE00"},
    };
    for (const Case& c : cases) {
        LongLineBreaker fourWide(4);
        std::u16string broken = fourWide.Apply(c.first);
        broken += fourWide.Apply(c.second);
        EXPECT_EQ(broken, c.broken) << c.what;
    }
}

ByteCharacterShape DoubleByteShape()
{
    ByteCharacterShape shape;
    shape.kind = ByteCharacterShape::Kind::LeadBytes;
    for (int byte = 0x81; byte <= 0x9F; ++byte)
        shape.isLeadByte[byte] = true;
    return shape;
}

TEST(CompleteCharacterBytes, LeavesAnOpenCharacterForTheNextRead)
{
    ByteCharacterShape utf8;
    utf8.kind = ByteCharacterShape::Kind::Utf8;
    const ByteCharacterShape singleByte;
    const ByteCharacterShape doubleByte = DoubleByteShape();

    struct Case {
        const ByteCharacterShape* shape;
        std::string_view bytes;
        std::size_t complete;
    };
    const Case cases[] = {
        {&singleByte, "\xA5\x86", 2},
        {&utf8, "za\xC5", 2},               // "ż" cut after its lead byte
        {&utf8, "za\xC5\xBC", 4},
        {&utf8, "\xE2\x82", 0},             // a three-byte character missing its last byte
        {&utf8, "\xF0\x9F\x98\x80", 4},
        {&utf8, "a\xF0\x9F\x98", 1},
        {&utf8, "\x80\x80\x80\x80", 4},     // stray continuation bytes are not held back
        {&doubleByte, "a\x82", 1},
        {&doubleByte, "\x82\xA0", 2},
        {&doubleByte, "\x82\x82\x82", 2},   // a trail byte that looks like a lead byte
        {&doubleByte, "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompleteCharacterBytes(c.bytes, *c.shape), c.complete) << testing::PrintToString(c.bytes);
}

// Which way each byte of the output was decoded, piece by piece.
std::string EncodingOfEachByte(const std::vector<OutputPiece>& pieces)
{
    std::string marks;
    for (const OutputPiece& piece : pieces)
        marks.append(piece.bytes.size(), piece.encoding == PieceEncoding::Utf8 ? 'U' : 'O');
    return marks;
}

// Every line is fed whole and then split in two reads at every byte: the bytes come out in
// order, and every byte that is not ASCII is decoded as its line says, wherever the split.
TEST(LineDecider, DecidesEachLineAndHoldsBackASplitCharacter)
{
    struct Case {
        const char* what;
        std::string_view bytes;
        char nonAscii;  // how bytes above 0x7F must be decoded
    };
    const Case cases[] = {
        {"UTF-8 with two-byte letters", "Srednia: za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\n", 'U'},
        {"UTF-8 three- and four-byte", "\xE2\x82\xAC \xF0\x9F\x98\x80!\r\n", 'U'},
        {"a prompt without a line break", "Podaj liczb\xC4\x99: ", 'U'},
        {"the OEM code page", "Za\xBE\xA2\x88\x86 g\xA9\x98l\xA5\n", 'O'},
        {"an overlong form", "\xC0\xAF\n", 'O'},
        {"an encoded surrogate", "\xED\xA0\x80\n", 'O'},
        {"above U+10FFFF", "\xF4\x90\x80\x80\n", 'O'},
        {"cut short at the end", "ab\xE2\x82", 'O'},
    };
    const ByteCharacterShape singleByte;
    for (const Case& c : cases) {
        for (std::size_t split = 0; split <= c.bytes.size(); ++split) {
            SCOPED_TRACE(std::string(c.what) + ", split at " + std::to_string(split));
            LineDecider decider(singleByte);
            std::vector<OutputPiece> pieces = decider.Take(c.bytes.substr(0, split), false);
            for (OutputPiece& piece : decider.Take(c.bytes.substr(split), true))
                pieces.push_back(std::move(piece));
            std::string joined;
            for (const OutputPiece& piece : pieces)
                joined += piece.bytes;
            ASSERT_EQ(joined, c.bytes);
            const std::string marks = EncodingOfEachByte(pieces);
            for (std::size_t i = 0; i < c.bytes.size(); ++i) {
                if (static_cast<unsigned char>(c.bytes[i]) >= 0x80) {
                    EXPECT_EQ(marks[i], c.nonAscii) << "byte " << i;
                }
            }
        }
    }
}

TEST(LineDecider, ShowsWhatHasArrivedAndDecidesLinesApart)
{
    LineDecider decider(ByteCharacterShape{});
    // A prompt shows before its line ends; only the open character waits.
    EXPECT_EQ(EncodingOfEachByte(decider.Take("Podaj liczb\xC4", false)), "OOOOOOOOOOO");
    EXPECT_EQ(EncodingOfEachByte(decider.Take("\x99: ", false)), "UUUU");
    // A UTF-8 line and an OEM line in one read are each decided on their own.
    EXPECT_EQ(EncodingOfEachByte(decider.Take("\xC5\xBC\n\xBE\n", false)), "UUUOO");

    // A long line is decided in pieces of the longest length, never inside a character.
    LineDecider shortPieces(ByteCharacterShape{}, 4);
    EXPECT_EQ(EncodingOfEachByte(shortPieces.Take("abc\xC5\xBC\xBE\xA2xy\xC5\xBC\n", false)), "UUUUUOOOOUUU");
}

TEST(OutputStream, FinishedLineShowsTheCodeAndTheTime)
{
    struct Case {
        std::uint32_t code;
        std::uint64_t milliseconds;
        std::u16string_view line;
    };
    const Case cases[] = {
        {0, 420, u"[Zakończono z kodem 0 po 0,42 s.]"},
        {3, 5, u"[Zakończono z kodem 3 po 0,01 s.]"},
        {0xFFFFFFFFu, 4, u"[Zakończono z kodem -1 po 0,00 s.]"},
        {0xFFFFFF85u, 61999, u"[Zakończono z kodem -123 po 62,00 s.]"},
        {0xC0000005u, 12345, u"[Zakończono z kodem 0xC0000005 po 12,35 s.]"},
        {0x80000003u, 1000, u"[Zakończono z kodem 0x80000003 po 1,00 s.]"},
        {0x40010004u, 100, u"[Zakończono z kodem 1073807364 po 0,10 s.]"},
        {0xE06D7363u, 0, u"[Zakończono z kodem -529697949 po 0,00 s.]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FinishedLine(c.code, c.milliseconds), c.line) << c.code;
}

TEST(OutputStream, ClosingLinesSayWhatHappened)
{
    EXPECT_NE(LeftOutLine(1234567).find(u"1234567"), std::u16string::npos);
    EXPECT_NE(StoppedLine().find(u"Esc"), std::u16string::npos);
}

}  // namespace
