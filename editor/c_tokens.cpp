#include "editor/c_tokens.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::u16string_view kKeywords[] = {
    u"_Alignas", u"_Alignof", u"_Atomic", u"_Generic", u"_Noreturn", u"_Static_assert", u"_Thread_local",
    u"alignas", u"alignof", u"auto", u"break", u"case", u"const", u"constexpr", u"continue", u"default", u"do",
    u"else", u"enum", u"extern", u"false", u"for", u"goto", u"if", u"inline", u"nullptr", u"register",
    u"restrict", u"return", u"sizeof", u"static", u"static_assert", u"struct", u"switch", u"thread_local",
    u"true", u"typedef", u"typeof", u"typeof_unqual", u"union", u"volatile", u"while",
};

// The built-in types and the standard library's most used type names.
constexpr std::u16string_view kTypes[] = {
    u"FILE", u"_BitInt", u"_Bool", u"_Complex", u"_Decimal128", u"_Decimal32", u"_Decimal64", u"_Imaginary",
    u"bool", u"char", u"char16_t", u"char32_t", u"char8_t", u"double", u"float", u"int", u"int16_t",
    u"int32_t", u"int64_t", u"int8_t", u"intmax_t", u"intptr_t", u"long", u"ptrdiff_t", u"short", u"signed",
    u"size_t", u"ssize_t", u"time_t", u"uint16_t", u"uint32_t", u"uint64_t", u"uint8_t", u"uintmax_t",
    u"uintptr_t", u"unsigned", u"va_list", u"void", u"wchar_t",
};

bool InSortedList(std::u16string_view word, const std::u16string_view* first, const std::u16string_view* last)
{
    return std::binary_search(first, last, word);
}

bool IsKeyword(std::u16string_view word)
{
    return InSortedList(word, std::begin(kKeywords), std::end(kKeywords));
}

bool IsType(std::u16string_view word)
{
    return InSortedList(word, std::begin(kTypes), std::end(kTypes));
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Letters beyond ASCII count as identifier characters, so a word in Polish stays one word.
bool IsIdentifierStart(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'$' || c >= 0x80;
}

bool IsIdentifierPart(char16_t c)
{
    return IsIdentifierStart(c) || IsDigit(c);
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\f' || c == u'\v';
}

bool IsStringPrefix(std::u16string_view word)
{
    return word == u"L" || word == u"u" || word == u"U" || word == u"u8";
}

std::size_t IdentifierEnd(std::u16string_view text, std::size_t i, std::size_t end)
{
    while (i < end && IsIdentifierPart(text[i]))
        ++i;
    return i;
}

// A preprocessing number: digits, letters, dots, digit separators, and signs after an exponent.
std::size_t NumberEnd(std::u16string_view text, std::size_t i, std::size_t end)
{
    ++i;
    while (i < end) {
        const char16_t c = text[i];
        if ((c == u'+' || c == u'-') &&
            (text[i - 1] == u'e' || text[i - 1] == u'E' || text[i - 1] == u'p' || text[i - 1] == u'P')) {
            ++i;
        } else if (IsIdentifierPart(c) || c == u'.' || (c == u'\'' && i + 1 < end && IsIdentifierPart(text[i + 1]))) {
            ++i;
        } else {
            break;
        }
    }
    return i;
}

struct Quoted {
    std::size_t end;
    bool closed;
};

// From inside a string or character constant to just after its closing quote, or to the line's
// end when it has none. A backslash escapes the character after it.
Quoted QuotedEnd(std::u16string_view text, std::size_t i, std::size_t end, char16_t quote)
{
    while (i < end) {
        if (text[i] == u'\\') {
            i += 2;
        } else if (text[i] == quote) {
            return {i + 1, true};
        } else {
            ++i;
        }
    }
    return {end, false};
}

std::size_t CommentClose(std::u16string_view text, std::size_t i, std::size_t end)
{
    const std::size_t close = text.substr(0, end).find(u"*/", i);
    return close == std::u16string_view::npos ? std::u16string_view::npos : close + 2;
}

class LineScanner {
public:
    LineScanner(std::u16string_view text, std::size_t end, bool spliced, std::vector<CodeToken>* tokens)
        : text_(text), end_(end), spliced_(spliced), tokens_(tokens)
    {
    }

    ScanState Scan(std::size_t i, ScanState state)
    {
        state_ = state;
        plainStart_ = i;
        if (!Continue(i))
            return Finish();
        if (!state_.directive && !continued_)
            i = DirectiveStart(i);
        plainStart_ = i;
        while (i < end_) {
            const char16_t c = text_[i];
            const char16_t next = i + 1 < end_ ? text_[i + 1] : u'\0';
            if (c == u'/' && next == u'/') {
                FlushDirective(i);
                Emit(i, end_, TokenKind::Comment);
                state_.mode = ScanMode::LineComment;
                return Finish();
            }
            if (c == u'/' && next == u'*') {
                FlushDirective(i);
                const std::size_t close = CommentClose(text_, i + 2, end_);
                if (close == std::u16string_view::npos) {
                    Emit(i, end_, TokenKind::Comment);
                    state_.mode = ScanMode::BlockComment;
                    return Finish();
                }
                Emit(i, close, TokenKind::Comment);
                i = plainStart_ = close;
                continue;
            }
            if (c == u'"' || c == u'\'') {
                if (!Quote(i, i + 1, c))
                    return Finish();
                continue;
            }
            if (IsIdentifierStart(c)) {
                const std::size_t wordEnd = IdentifierEnd(text_, i, end_);
                const std::u16string_view word = text_.substr(i, wordEnd - i);
                if (wordEnd < end_ && (text_[wordEnd] == u'"' || text_[wordEnd] == u'\'') && IsStringPrefix(word)) {
                    if (!Quote(i, wordEnd + 1, text_[wordEnd]))
                        return Finish();
                    continue;
                }
                if (!state_.directive) {
                    if (IsKeyword(word))
                        Emit(i, wordEnd, TokenKind::Keyword);
                    else if (IsType(word))
                        Emit(i, wordEnd, TokenKind::Type);
                }
                i = wordEnd;
                continue;
            }
            if (IsDigit(c) || (c == u'.' && IsDigit(next))) {
                const std::size_t numberEnd = NumberEnd(text_, i, end_);
                if (!state_.directive)
                    Emit(i, numberEnd, TokenKind::Number);
                i = numberEnd;
                continue;
            }
            ++i;
        }
        FlushDirective(end_);
        return Finish();
    }

private:
    // A line that begins inside a comment, string or character constant: false when it ends so.
    bool Continue(std::size_t& i)
    {
        continued_ = state_.mode != ScanMode::Code;
        switch (state_.mode) {
        case ScanMode::Code:
            return true;
        case ScanMode::LineComment:
            Emit(i, end_, TokenKind::Comment);
            return false;
        case ScanMode::BlockComment: {
            const std::size_t close = CommentClose(text_, i, end_);
            if (close == std::u16string_view::npos) {
                Emit(i, end_, TokenKind::Comment);
                return false;
            }
            Emit(i, close, TokenKind::Comment);
            state_.mode = ScanMode::Code;
            i = close;
            return true;
        }
        case ScanMode::String:
        case ScanMode::Character: {
            const char16_t quote = state_.mode == ScanMode::String ? u'"' : u'\'';
            state_.mode = ScanMode::Code;
            return Quote(i, i, quote);
        }
        }
        return true;
    }

    // A string or character constant from `start`, its text from `from`; false when the line ends
    // inside it.
    bool Quote(std::size_t& i, std::size_t from, char16_t quote)
    {
        FlushDirective(i);
        const Quoted quoted = QuotedEnd(text_, from, end_, quote);
        Emit(i, quoted.end, TokenKind::String);
        i = plainStart_ = quoted.end;
        if (quoted.closed)
            return true;
        state_.mode = quote == u'"' ? ScanMode::String : ScanMode::Character;
        return false;
    }

    // At a line's start: a '#' there opens a preprocessor line; the header name of an #include
    // is coloured as a string. Returns where scanning goes on.
    std::size_t DirectiveStart(std::size_t i)
    {
        std::size_t at = i;
        while (at < end_ && IsBlank(text_[at]))
            ++at;
        if (at == end_ || text_[at] != u'#')
            return i;
        state_.directive = true;
        std::size_t name = at + 1;
        while (name < end_ && IsBlank(text_[name]))
            ++name;
        const std::size_t nameEnd = IdentifierEnd(text_, name, end_);
        const std::u16string_view word = text_.substr(name, nameEnd - name);
        if (word != u"include" && word != u"include_next" && word != u"import" && word != u"embed")
            return i;
        std::size_t header = nameEnd;
        while (header < end_ && IsBlank(text_[header]))
            ++header;
        if (header == end_ || text_[header] != u'<')
            return i;
        const std::size_t close = text_.substr(0, end_).find(u'>', header + 1);
        if (close == std::u16string_view::npos)
            return i;
        Emit(i, header, TokenKind::Preprocessor);
        Emit(header, close + 1, TokenKind::String);
        return close + 1;
    }

    void FlushDirective(std::size_t until)
    {
        if (state_.directive)
            Emit(plainStart_, until, TokenKind::Preprocessor);
        plainStart_ = until;
    }

    void Emit(std::size_t start, std::size_t end, TokenKind kind)
    {
        end = std::min(end, end_);
        if (tokens_ && end > start)
            tokens_->push_back({start, end - start, kind});
    }

    // Without a backslash at its end the line ends a line comment and an unterminated string
    // with it, and a preprocessor line unless a block comment carries it on.
    ScanState Finish()
    {
        if (!spliced_ && state_.mode != ScanMode::BlockComment)
            state_ = {};
        return state_;
    }

    std::u16string_view text_;
    std::size_t end_;
    bool spliced_;
    std::vector<CodeToken>* tokens_;
    ScanState state_ = {};
    std::size_t plainStart_ = 0;
    bool continued_ = false;
};

std::size_t CountBreaks(std::u16string_view text, std::size_t from, std::size_t to)
{
    return static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(from),
                                               text.begin() + static_cast<std::ptrdiff_t>(to), u'\n'));
}

}  // namespace

ScanState ScanCode(std::u16string_view text, std::size_t from, std::size_t to, ScanState state,
                   std::vector<CodeToken>* tokens)
{
    to = std::min(to, text.size());
    std::size_t i = from;
    while (i < to) {
        const std::size_t lineBreak = text.find(u'\n', i);
        const std::size_t lineEnd = lineBreak == std::u16string_view::npos ? text.size() : lineBreak;
        std::size_t contentEnd = lineEnd;
        if (contentEnd > i && text[contentEnd - 1] == u'\r')
            --contentEnd;
        const bool spliced = contentEnd > i && text[contentEnd - 1] == u'\\' && lineEnd < text.size();
        // A splice's backslash belongs to no token.
        const std::size_t scanEnd = spliced ? contentEnd - 1 : contentEnd;
        state = LineScanner(text, scanEnd, spliced, tokens).Scan(i, state);
        i = lineEnd == text.size() ? text.size() : lineEnd + 1;
    }
    return state;
}

void ScanStateCache::Forget(std::size_t offset)
{
    while (!checkpoints_.empty() && checkpoints_.back().offset > offset)
        checkpoints_.pop_back();
    complete_ = false;
}

LineStartState ScanStateCache::LineStartAt(std::u16string_view text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    const std::size_t block = offset / kCheckpointSpan;
    if (checkpoints_.empty())
        checkpoints_.push_back({});
    while (checkpoints_.size() <= block && !complete_) {
        const LineStartState last = checkpoints_.back();
        const std::size_t wanted = checkpoints_.size() * kCheckpointSpan;
        if (last.offset >= wanted) {
            checkpoints_.push_back(last);
            continue;
        }
        const std::size_t lineBreak = text.find(u'\n', wanted - 1);
        if (lineBreak == std::u16string_view::npos) {
            complete_ = true;
            break;
        }
        const std::size_t start = lineBreak + 1;
        checkpoints_.push_back({start, last.line + CountBreaks(text, last.offset, start),
                                ScanCode(text, last.offset, start, last.state, nullptr)});
    }
    std::size_t index = std::min(block, checkpoints_.size() - 1);
    while (index > 0 && checkpoints_[index].offset > offset)
        --index;
    const LineStartState& from = checkpoints_[index];
    const std::size_t lastBreak = text.substr(from.offset, offset - from.offset).rfind(u'\n');
    const std::size_t start = lastBreak == std::u16string_view::npos ? from.offset : from.offset + lastBreak + 1;
    return {start, from.line + CountBreaks(text, from.offset, start), ScanCode(text, from.offset, start, from.state, nullptr)};
}

std::size_t LineCountOf(std::u16string_view text)
{
    return CountBreaks(text, 0, text.size()) + 1;
}
