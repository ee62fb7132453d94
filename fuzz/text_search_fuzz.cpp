// Search and replace over any text: the dialog's field cut, the next occurrence with the wrap,
// the "\n" escape, and replacing every occurrence.

#include "search/text_search.h"

#include <limits>

#include "fuzz/fuzz_support.h"
#include "text/vector_paths.h"

namespace {

constexpr std::u16string_view kAlphabet = u"aab\\n\r\n ";

std::size_t Occurrences(std::u16string_view text, std::u16string_view what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::u16string_view::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

void CheckFieldCut(std::u16string_view field)
{
    const std::u16string_view cut = DialogFieldText(field);
    Require(field.starts_with(cut), "a field is cut, never changed");
    if (field.size() <= kDialogFieldLimit) {
        Require(cut.size() == field.size(), "a short field is kept whole");
        return;
    }
    Require(cut.size() == kDialogFieldLimit || cut.size() == kDialogFieldLimit - 1, "a long field is cut at the limit");
    Require(cut.size() == kDialogFieldLimit || (field[cut.size()] >= 0xD800 && field[cut.size()] <= 0xDBFF),
            "the cut is one shorter only to keep a surrogate pair whole");
    const bool endsInHigh = cut.back() >= 0xD800 && cut.back() <= 0xDBFF;
    const bool lowFollows = field[cut.size()] >= 0xDC00 && field[cut.size()] <= 0xDFFF;
    Require(!(endsInHigh && lowFollows), "the cut never splits a surrogate pair");
}

void CheckFind(std::u16string_view text, std::u16string_view what, std::size_t selectionStart)
{
    const std::optional<std::size_t> found = FindNextOccurrence(text, what, selectionStart);
    const std::size_t first = text.find(what);
    if (what.empty() || first == std::u16string_view::npos) {
        Require(!found, "an empty or absent pattern is found nowhere");
        return;
    }
    Require(found.has_value(), "a present pattern is found");
    Require(text.substr(*found, what.size()) == what, "what is found is the pattern");
    const std::size_t after = selectionStart < text.size() ? text.find(what, selectionStart + 1)
                                                          : std::u16string_view::npos;
    if (after != std::u16string_view::npos)
        Require(*found == after, "the next occurrence after the selection's start comes first");
    else
        Require(*found == first, "with none after the selection, the search wraps to the first");
}

void CheckEscape(std::u16string_view text)
{
    const std::optional<std::u16string> escaped = replaceNewlineWithCRLF(text);
    Require(escaped.has_value(), "the escape of a small text always succeeds");
    Require(escaped->size() == text.size(), "each escape pair becomes a pair");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((*escaped)[i] == text[i])
            continue;
        Require(i + 1 < text.size() && text.substr(i, 2) == u"\\n" && escaped->substr(i, 2) == u"\r\n",
                "only a backslash and n become CR LF");
        ++i;
    }
    Require(escaped->find(u"\\n") == std::u16string::npos, "no escape is left behind");
}

void CheckReplaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to, std::size_t maxLength)
{
    const std::optional<std::u16string> replaced = ReplaceAllOccurrences(text, from, to, maxLength);
    if (from.empty()) {
        Require(!replaced, "an empty pattern replaces nothing");
        return;
    }
    const std::size_t count = Occurrences(text, from);
    const std::size_t length = text.size() - count * from.size() + count * to.size();
    Require(replaced.has_value() == (length <= maxLength), "refused exactly when the result would be too long");
    if (!replaced)
        return;
    Require(replaced->size() == length, "every occurrence is replaced once");
    if (count == 0 || to == from)
        Require(*replaced == text, "with From absent or To the same, the text is unchanged");
    const std::size_t first = text.find(from);
    if (first != std::u16string_view::npos)
        Require(replaced->substr(0, first) == text.substr(0, first) &&
                    std::u16string_view(*replaced).substr(first, to.size()) == to,
                "the text before the first occurrence stays, the replacement follows");
    // Putting From back where each To went gives the text again. With a character in To that
    // the text lacks, every To in the result is one that was put there.
    if (to.find(u'#') != std::u16string_view::npos && text.find(u'#') == std::u16string_view::npos) {
        const std::optional<std::u16string> back =
            ReplaceAllOccurrences(*replaced, to, from, std::numeric_limits<std::size_t>::max());
        Require(back.has_value() && *back == text, "replacing back gives the text");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t selectionStart = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::size_t>(0, 64)
                                                           : input.ConsumeIntegral<std::size_t>();
    const std::size_t maxLength = input.ConsumeBool() ? std::numeric_limits<std::size_t>::max()
                                                      : input.ConsumeIntegralInRange<std::size_t>(0, 4096);
    const std::u16string what = ConsumeText(input, kAlphabet, 8);
    const std::u16string to = ConsumeText(input, u"#ab\\n", 24);
    const std::u16string text = ConsumeRestAsText(input, kAlphabet);
    // Every case runs on the vector paths and on the plain loops of targets without SSE2.
    for (const bool vector : {true, false}) {
        AllowVectorPaths(vector);
        CheckFieldCut(text);
        CheckFind(text, what, selectionStart);
        CheckEscape(text);
        CheckEscape(what);
        CheckReplaceAll(text, what, to, maxLength);
    }
    return 0;
}
