// Any text split into coloured tokens: in order, without overlap, each within one line; a scan
// stopped at any line start and resumed with the state it returned gives the tokens and the
// state of one scan; and the cache's line start, line number and state, after an edit it was
// told about, are those of a scan from the text's start.

#include "editor/c_tokens.h"

#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

constexpr std::u16string_view kAlphabet = u"/*\\\"'#<>\n\r intx0.e+_L";

void CheckTokens(std::u16string_view text, const std::vector<CodeToken>& tokens)
{
    std::size_t end = 0;
    for (const CodeToken& token : tokens) {
        Require(token.length > 0, "a token is never empty");
        Require(token.start >= end, "tokens come in order without overlap");
        Require(token.start + token.length <= text.size(), "a token lies within the text");
        Require(text.substr(token.start, token.length).find(u'\n') == std::u16string_view::npos,
                "a token lies within one line");
        end = token.start + token.length;
    }
}

void CheckResumedScan(std::u16string_view text, std::size_t split, const std::vector<CodeToken>& whole,
                      ScanState wholeState)
{
    const std::size_t lineBreak = text.find(u'\n', std::min(split, text.size()));
    const std::size_t middle = lineBreak == std::u16string_view::npos ? text.size() : lineBreak + 1;
    std::vector<CodeToken> parts;
    const ScanState atMiddle = ScanCode(text, 0, middle, {}, &parts);
    const ScanState atEnd = ScanCode(text, middle, text.size(), atMiddle, &parts);
    Require(parts == whole, "a resumed scan finds the tokens of one scan");
    Require(atEnd == wholeState, "a resumed scan ends in the state of one scan");
}

void CheckCache(std::u16string text, std::size_t probe, std::size_t editAt, std::u16string_view inserted)
{
    ScanStateCache cache;
    cache.LineStartAt(text, text.size());
    editAt = std::min(editAt, text.size());
    text.insert(editAt, inserted);
    cache.Forget(editAt);
    probe = std::min(probe, text.size());
    const LineStartState found = cache.LineStartAt(text, probe);
    std::size_t start = 0;
    std::size_t line = 1;
    for (std::size_t i = 0; i < probe; ++i) {
        if (text[i] == u'\n') {
            start = i + 1;
            ++line;
        }
    }
    Require(found.offset == start, "the cache finds the line's start");
    Require(found.line == line, "the cache counts the lines before it");
    Require(found.state == ScanCode(text, 0, start, {}, nullptr), "the cache knows the state there");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t split = input.ConsumeIntegralInRange<std::size_t>(0, 1 << 14);
    const std::size_t probe = input.ConsumeIntegralInRange<std::size_t>(0, 1 << 14);
    const std::size_t editAt = input.ConsumeIntegralInRange<std::size_t>(0, 1 << 14);
    const std::u16string inserted = ConsumeText(input, kAlphabet, 8);
    // Short texts repeated past a checkpoint span, so the cache's spans are crossed too.
    const std::u16string piece = ConsumeRestAsText(input, kAlphabet);
    std::u16string text = piece;
    while (!piece.empty() && text.size() < ScanStateCache::kCheckpointSpan + 100 && piece.size() < 64)
        text += piece;

    std::vector<CodeToken> tokens;
    const ScanState state = ScanCode(text, 0, text.size(), {}, &tokens);
    CheckTokens(text, tokens);
    CheckResumedScan(text, split, tokens, state);
    CheckCache(text, probe, editAt, inserted);
    return 0;
}
