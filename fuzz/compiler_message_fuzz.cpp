// From any line of output to a place in any source: a parsed position counts from 1 and reads
// back from a message written with it; the line around an offset is the whole line holding it;
// an offset found for any position lies within the text, never between CR and LF, and the
// position of every such offset leads back to it.

#include "output/compiler_message.h"
#include "text/decimal_text.h"

#include <limits>
#include <string>

#include "fuzz/fuzz_support.h"

namespace {

constexpr std::u16string_view kAlphabet = u"a:1209 \r\n";

void CheckParse(std::u16string_view line)
{
    const std::optional<SourcePosition> position = ParseCompilerMessage(line);
    if (!position)
        return;
    Require(position->line >= 1 && position->column >= 1, "positions count from 1");
    Require(line.find(u':') != std::u16string_view::npos && line.find_first_of(u"0123456789") != std::u16string_view::npos,
            "a message names a line after a colon");
}

void CheckWrittenMessage(std::u16string_view file, std::size_t line, std::size_t column, bool withColumn,
                         std::u16string_view message)
{
    if (file.empty() || file.find(u':') != std::u16string_view::npos)
        return;
    std::u16string text = std::u16string(file) + u":" + DecimalText(line) + u":";
    if (withColumn)
        text += DecimalText(column) + u":";
    text += u" ";
    text += message;
    const std::optional<SourcePosition> position = ParseCompilerMessage(text);
    if (line == 0) {
        Require(!position, "line 0 is no position");
        return;
    }
    Require(position.has_value(), "a written message is recognised");
    Require(position->line == line, "the line reads back");
    Require(position->column == (withColumn && column > 0 ? column : 1), "the column reads back, 1 when absent or 0");
}

void CheckLineAround(std::u16string_view text, std::size_t offset)
{
    const std::u16string_view line = LineAround(text, offset);
    Require(line.data() >= text.data() && line.data() + line.size() <= text.data() + text.size(),
            "the line lies within the text");
    const auto start = static_cast<std::size_t>(line.data() - text.data());
    const std::size_t end = start + line.size();
    const std::size_t at = std::min(offset, text.size());
    Require(line.find_first_of(u"\r\n") == std::u16string_view::npos, "the line holds no break");
    Require(start <= at && at <= end, "the line holds the offset");
    Require(start == 0 || text[start - 1] == u'\r' || text[start - 1] == u'\n', "the line is whole at its start");
    Require(end == text.size() || text[end] == u'\r' || text[end] == u'\n', "the line is whole at its end");
}

void CheckOffset(std::u16string_view text, SourcePosition position)
{
    const std::size_t offset = OffsetOfPosition(text, position);
    Require(offset <= text.size(), "the offset lies within the text");
    Require(offset == 0 || text[offset - 1] != u'\r' || (offset < text.size() && text[offset] != u'\n'),
            "the offset never falls between a CR and its line's end");
}

// Every offset that is not between a CR and the line's end (an LF or the text's end), nor inside
// a surrogate pair, is the offset of its own line and column, counted as the compiler counts
// them: a tab to the next multiple of 8, a character of two units as one.
void CheckRoundTrip(std::u16string_view text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    if (offset > 0 && text[offset - 1] == u'\r' && (offset == text.size() || text[offset] == u'\n'))
        return;
    if (offset < text.size() && text[offset] >= 0xDC00 && text[offset] <= 0xDFFF)
        return;
    SourcePosition position;
    std::size_t lineStart = 0;
    for (std::size_t k = 0; k < offset; ++k) {
        if (text[k] == u'\n') {
            ++position.line;
            lineStart = k + 1;
        }
    }
    position.column = 1;
    for (std::size_t k = lineStart; k < offset; ++k) {
        if (text[k] == u'\t')
            position.column = (position.column - 1) / 8 * 8 + 9;
        else if (text[k] < 0xDC00 || text[k] > 0xDFFF)
            ++position.column;
    }
    Require(OffsetOfPosition(text, position) == offset, "the position of an offset leads back to it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    static constexpr std::size_t kLargest = std::numeric_limits<std::size_t>::max();
    static constexpr std::size_t kEdges[] = {0, 1, 2, kLargest - 1, kLargest};
    SourcePosition position;
    position.line = input.ConsumeBool() ? input.PickValueInArray(kEdges) : input.ConsumeIntegralInRange<std::size_t>(1, 40);
    position.column = input.ConsumeBool() ? input.PickValueInArray(kEdges) : input.ConsumeIntegralInRange<std::size_t>(1, 40);
    const std::size_t offset = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::size_t>(0, 256)
                                                   : input.ConsumeIntegral<std::size_t>();
    const bool withColumn = input.ConsumeBool();
    const std::u16string file = ConsumeText(input, u"a.c/\\ ", 12);
    const std::u16string text = ConsumeRestAsText(input, kAlphabet);

    CheckParse(text);
    CheckParse(LineAround(text, offset));
    CheckWrittenMessage(file, position.line, position.column, withColumn, text);
    CheckLineAround(text, offset);
    CheckOffset(text, position);
    CheckRoundTrip(text, offset);
    return 0;
}
