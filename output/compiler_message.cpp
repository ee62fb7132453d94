#include "output/compiler_message.h"

#include <algorithm>
#include <limits>

namespace {

// The compiler's tab stops.
constexpr std::size_t kTabWidth = 8;

bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool IsPathSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

bool IsAbsolute(std::u16string_view name)
{
    return (!name.empty() && IsPathSeparator(name[0])) || (name.size() >= 2 && name[1] == u':');
}

std::u16string_view LastPart(std::u16string_view name)
{
    const std::size_t separator = name.find_last_of(u"\\/:");
    return separator == std::u16string_view::npos ? name : name.substr(separator + 1);
}

// File names are compared without case as the file system compares them, for the letters a
// name of a C exercise uses: Latin ones with their accents, Polish ones among them. Both
// separators count as one.
char16_t FoldForFileName(char16_t c)
{
    if (c == u'/')
        return u'\\';
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char16_t>(c + 0x20);
    // In Latin Extended-A most capitals are followed by their small letter; from U+0139 to
    // U+0148 and U+0179 to U+017E the small letter comes first after an odd capital.
    const bool oddCapitals = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
    if (c >= 0x0100 && c <= 0x017F && c != 0x0130 && c != 0x0131 && c != 0x0138 && c != 0x0149 && c != 0x017F) {
        if (oddCapitals ? (c % 2 == 1) : (c % 2 == 0))
            return static_cast<char16_t>(c + 1);
    }
    return c;
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Reads the digits at `at` into a saturating number and moves past them.
std::optional<std::size_t> ReadNumber(std::u16string_view text, std::size_t& at)
{
    constexpr std::size_t kLargest = std::numeric_limits<std::size_t>::max();
    const std::size_t start = at;
    std::size_t value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        const std::size_t digit = static_cast<std::size_t>(text[at] - u'0');
        value = value > (kLargest - digit) / 10 ? kLargest : value * 10 + digit;
    }
    if (at == start)
        return std::nullopt;
    return value;
}

// FILE:LINE[:COLUMN]: with the colon after FILE at `colon`.
std::optional<SourcePosition> ParseAfterFileName(std::u16string_view line, std::size_t colon)
{
    std::size_t at = colon + 1;
    const std::optional<std::size_t> lineNumber = ReadNumber(line, at);
    if (!lineNumber || *lineNumber == 0 || at >= line.size() || line[at] != u':')
        return std::nullopt;
    ++at;

    SourcePosition position{*lineNumber, 1, line.substr(0, colon)};
    std::size_t afterColumn = at;
    if (const std::optional<std::size_t> column = ReadNumber(line, afterColumn)) {
        if (afterColumn >= line.size() || line[afterColumn] != u':')
            return std::nullopt;
        position.column = *column == 0 ? 1 : *column;
        at = afterColumn + 1;
    }
    // The message itself follows after a space; "12:30:" in a time of day has none.
    if (at < line.size() && line[at] != u' ')
        return std::nullopt;
    return position;
}

}  // namespace

std::optional<SourcePosition> ParseCompilerMessage(std::u16string_view line)
{
    // The file name is everything before the first colon that a line number follows,
    // so a drive letter's colon is passed over.
    if (line.empty() || line.front() == u':')
        return std::nullopt;
    for (std::size_t colon = line.find(u':', 1); colon != std::u16string_view::npos;
         colon = line.find(u':', colon + 1)) {
        if (colon + 1 < line.size() && IsDigit(line[colon + 1]))
            return ParseAfterFileName(line, colon);
    }
    return std::nullopt;
}

std::u16string_view LineAround(std::u16string_view text, std::size_t offset)
{
    if (offset > text.size())
        offset = text.size();
    std::size_t start = 0;
    if (offset > 0) {
        const std::size_t previousBreak = text.find_last_of(u"\r\n", offset - 1);
        if (previousBreak != std::u16string_view::npos)
            start = previousBreak + 1;
    }
    std::size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos)
        end = text.size();
    return text.substr(start, end - start);
}

std::size_t OffsetOfPosition(std::u16string_view text, SourcePosition position)
{
    std::size_t lineStart = 0;
    for (std::size_t line = 1; line < position.line; ++line) {
        const std::size_t lineFeed = text.find(u'\n', lineStart);
        if (lineFeed == std::u16string_view::npos)
            break;
        lineStart = lineFeed + 1;
    }
    std::size_t lineEnd = text.find(u'\n', lineStart);
    if (lineEnd == std::u16string_view::npos)
        lineEnd = text.size();
    if (lineEnd > lineStart && text[lineEnd - 1] == u'\r')
        --lineEnd;

    std::size_t shownColumn = 1;
    std::size_t at = lineStart;
    for (; at < lineEnd && shownColumn < position.column; ++at) {
        if (text[at] == u'\t')
            shownColumn = (shownColumn - 1) / kTabWidth * kTabWidth + kTabWidth + 1;
        else if (!IsLowSurrogate(text[at]))
            ++shownColumn;
    }
    // The second half of a surrogate pair belongs to the character before it.
    while (at < lineEnd && IsLowSurrogate(text[at]))
        ++at;
    return at;
}

bool MessageNamesFile(std::u16string_view messageFile, std::u16string_view path)
{
    if (messageFile.empty() || path.empty())
        return false;
    if (!IsAbsolute(messageFile)) {
        messageFile = LastPart(messageFile);
        path = LastPart(path);
    }
    return messageFile.size() == path.size() &&
           std::equal(messageFile.begin(), messageFile.end(), path.begin(),
                      [](char16_t a, char16_t b) { return FoldForFileName(a) == FoldForFileName(b); });
}

MessageSeverity SeverityOfCompilerMessage(std::u16string_view line)
{
    if (!ParseCompilerMessage(line))
        return MessageSeverity::Other;
    // The word stands after the position's last colon and one space, as in "main.c:3:5: error: ...".
    static constexpr std::u16string_view kError = u": error:";
    static constexpr std::u16string_view kFatal = u": fatal error:";
    static constexpr std::u16string_view kWarning = u": warning:";
    const std::size_t error = std::min(line.find(kError), line.find(kFatal));
    const std::size_t warning = line.find(kWarning);
    if (error == std::u16string_view::npos && warning == std::u16string_view::npos)
        return MessageSeverity::Other;
    return error < warning ? MessageSeverity::Error : MessageSeverity::Warning;
}
