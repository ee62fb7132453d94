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
    EXPECT_EQ(breaker.Apply(u"klmnop\n"), u"kl\r\nmnop\n");
    EXPECT_EQ(breaker.Apply(u"qrst\ruvwx"), u"qrst\ruvwx");

    LongLineBreaker noRoom(0);
    EXPECT_EQ(noRoom.Apply(u"ab\r\nc"), u"a\r\nb\r\nc");
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

TEST(OutputStream, ClosingLinesSayWhatHappened)
{
    EXPECT_NE(LeftOutLine(1234567).find(u"1234567"), std::u16string::npos);
    EXPECT_NE(StoppedLine().find(u"Esc"), std::u16string::npos);
}

}  // namespace
