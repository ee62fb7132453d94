// Indent and outdent of any selection: only spaces (and on outdent tabs) right after a CR LF
// come or go, the first line never moves, outdent never lengthens the text, and outdent undoes
// indent. The lines a selection touches start a line and end where it ends.

#include "editor/selection_indent.h"

#include <algorithm>
#include <limits>

#include "fuzz/fuzz_support.h"

namespace {

constexpr std::u16string_view kAlphabet = u"  a\r\n\r\n\t";

std::size_t LineBreaks(std::u16string_view text)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(u"\r\n"); at != std::u16string_view::npos; at = text.find(u"\r\n", at + 2))
        ++count;
    return count;
}

std::u16string_view FirstLine(std::u16string_view text)
{
    return text.substr(0, text.find(u"\r\n"));
}

// The text with every space and tab that follows a CR LF taken out.
std::u16string WithoutLeadingSpaces(std::u16string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out += u'\n';
            ++i;
            while (i + 1 < text.size() && (text[i + 1] == u' ' || text[i + 1] == u'\t'))
                ++i;
        }
    }
    return out;
}

void CheckLinesTouched(std::u16string_view text, std::size_t start, std::size_t end)
{
    const LineSpan span = LinesTouched(text, start, end);
    const std::size_t last = std::min(end, text.size());
    Require(span.from <= span.to && span.to <= text.size(), "the span lies in the text");
    Require(span.to == std::max(span.from, last), "the span ends where the selection ends");
    Require(span.from == 0 || text.substr(0, span.from).ends_with(u"\r\n"), "the span starts a line");
    const std::size_t first = std::min(start, last);
    if (span.from <= first)
        Require(text.substr(span.from, first - span.from).find(u"\r\n") == std::u16string_view::npos,
                "no line break between the span's start and the selection's");
}

void CheckIndent(std::u16string_view selection, int spaces, std::size_t maxLength)
{
    const std::optional<std::u16string> indented = IndentSelectionText(selection, spaces, maxLength);
    const std::size_t added = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    const std::size_t length = selection.size() + LineBreaks(selection) * added;
    Require(indented.has_value() == (length <= maxLength), "refused exactly when the result would be too long");
    if (!indented)
        return;
    Require(indented->size() == length, "each line after a break gains the spaces");
    Require(FirstLine(*indented) == FirstLine(selection), "the first line never moves");
    Require(LineBreaks(*indented) == LineBreaks(selection), "line breaks stay as they are");
    Require(WithoutLeadingSpaces(*indented) == WithoutLeadingSpaces(selection), "only spaces after a break are added");
    const std::optional<std::u16string> back = OutdentSelectionText(*indented, spaces);
    Require(back.has_value() && *back == selection, "outdent by the same amount undoes indent");
}

void CheckOutdent(std::u16string_view selection, int spaces)
{
    const std::optional<std::u16string> outdented = OutdentSelectionText(selection, spaces);
    Require(outdented.has_value(), "outdent of a small text always succeeds");
    Require(outdented->size() <= selection.size(), "outdent never lengthens the text");
    if (spaces <= 0)
        Require(*outdented == selection, "outdent by nothing changes nothing");
    const std::size_t removable = spaces > 0 ? static_cast<std::size_t>(spaces) : 0;
    Require(selection.size() - outdented->size() <= LineBreaks(selection) * removable,
            "at most the given spaces go from each line");
    Require(FirstLine(*outdented) == FirstLine(selection), "the first line never moves");
    Require(LineBreaks(*outdented) == LineBreaks(selection), "line breaks stay as they are");
    Require(WithoutLeadingSpaces(*outdented) == WithoutLeadingSpaces(selection), "only spaces and tabs after a break go");
    // Taking all there is leaves nothing more to take.
    if (spaces == std::numeric_limits<int>::max())
        Require(*outdented == WithoutLeadingSpaces(selection), "outdent stops only at a character that is neither space nor tab");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    static constexpr int kEdges[] = {0, 1, 4, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    const int spaces = input.ConsumeBool() ? input.PickValueInArray(kEdges) : input.ConsumeIntegralInRange(-8, 64);
    const std::size_t maxLength = input.ConsumeBool() ? std::numeric_limits<std::size_t>::max()
                                                      : input.ConsumeIntegralInRange<std::size_t>(0, 4096);
    const std::size_t start = input.ConsumeIntegralInRange<std::size_t>(0, 64);
    const std::size_t end = input.ConsumeIntegralInRange<std::size_t>(0, 64);
    const std::u16string selection = ConsumeRestAsText(input, kAlphabet);
    CheckLinesTouched(selection, std::min(start, end), std::max(start, end));

    // Indent by a huge amount only where it must be refused, so no huge text is built.
    if (spaces < 1 << 16 || LineBreaks(selection) == 0 || maxLength < std::numeric_limits<std::size_t>::max())
        CheckIndent(selection, spaces, maxLength);
    CheckOutdent(selection, spaces);
    return 0;
}
