#include "output/terminal_screen.h"

#include <algorithm>

namespace {

constexpr char32_t kBlank = U' ';
constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kMostParameters = 16;
constexpr int kLargestParameter = 9999;
constexpr int kTabWidth = 8;

void AppendUtf16(std::u16string& text, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        text += static_cast<char16_t>(0xD800 + (c >> 10));
        text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        text += static_cast<char16_t>(c);
    }
}

std::u16string RowText(const std::u32string& cells, std::size_t length)
{
    std::u16string text;
    text.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        AppendUtf16(text, cells[i]);
    return text;
}

std::size_t TextLength(const std::u32string& cells)
{
    std::size_t length = cells.size();
    while (length > 0 && cells[length - 1] == kBlank)
        --length;
    return length;
}

}  // namespace

TerminalScreen::TerminalScreen(int columns, int rows)
    : columns_(std::max(columns, 1)), rows_(std::max(rows, 1)),
      screen_(static_cast<std::size_t>(rows_), Row{std::u32string(static_cast<std::size_t>(columns_), kBlank), false}),
      erasedRows_(static_cast<std::size_t>(rows_), false)
{
}

void TerminalScreen::Feed(std::string_view utf8)
{
    for (const char byte : utf8) {
        const auto b = static_cast<unsigned char>(byte);
        if (continuationBytes_ > 0) {
            if ((b & 0xC0) == 0x80) {
                codePoint_ = (codePoint_ << 6) | (b & 0x3F);
                if (--continuationBytes_ == 0) {
                    // Overlong forms, surrogates and values past U+10FFFF are no characters.
                    const char32_t c = codePoint_;
                    Character(c < smallest_ || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? kReplacement : c);
                }
                continue;
            }
            continuationBytes_ = 0;
            Character(kReplacement);
        }
        if (b < 0x80) {
            Character(b);
        } else if (b >= 0xC2 && b <= 0xDF) {
            codePoint_ = b & 0x1F;
            continuationBytes_ = 1;
            smallest_ = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            codePoint_ = b & 0x0F;
            continuationBytes_ = 2;
            smallest_ = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            codePoint_ = b & 0x07;
            continuationBytes_ = 3;
            smallest_ = 0x10000;
        } else {
            Character(kReplacement);
        }
    }
}

void TerminalScreen::Character(char32_t c)
{
    switch (state_) {
    case State::Text:
        if (c == 0x1B)
            state_ = State::Escape;
        else if (c < 0x20 || c == 0x7F)
            Control(c);
        else
            Print(c);  // C1 characters too: a console gives the program's bytes 0x80-0x9F as them
        return;
    case State::Escape:
        Escape(c);
        return;
    case State::EscapeIntermediate:
        if (c < 0x20 || c > 0x2F)
            state_ = State::Text;  // the sequence's final character, dropped
        return;
    case State::Sequence:
        if (c >= U'0' && c <= U'9') {
            if (parameters_.empty())
                parameters_.push_back(0);
            int& value = parameters_.back();
            value = std::min(value * 10 + static_cast<int>(c - U'0'), kLargestParameter);
        } else if (c == U';') {
            if (parameters_.empty())
                parameters_.push_back(0);
            if (parameters_.size() < kMostParameters)
                parameters_.push_back(0);
        } else if (c >= 0x3C && c <= 0x3F) {
            privateSequence_ = true;
        } else if (c >= 0x20 && c <= 0x2F) {
            intermediate_ = true;
        } else if (c >= 0x40 && c <= 0x7E) {
            state_ = State::Text;
            if (!privateSequence_ && !intermediate_)
                ControlSequence(c);
        } else if (c == 0x1B) {
            state_ = State::Escape;
        } else if (c < 0x20) {
            Control(c);  // a control inside a sequence acts and the sequence goes on
        } else {
            state_ = State::Text;  // not a sequence after all
        }
        return;
    case State::String:
        if (c == 0x07)
            state_ = State::Text;
        else if (c == 0x1B)
            state_ = State::StringEscape;
        return;
    case State::StringEscape:
        state_ = c == U'\\' ? State::Text : State::String;
        return;
    }
}

void TerminalScreen::Escape(char32_t c)
{
    state_ = State::Text;
    if (c == U'[') {
        state_ = State::Sequence;
        parameters_.clear();
        privateSequence_ = false;
        intermediate_ = false;
    } else if (c == U']' || c == U'P' || c == U'X' || c == U'^' || c == U'_') {
        state_ = State::String;  // a title or another string, up to BEL or ESC backslash
    } else if (c >= 0x20 && c <= 0x2F) {
        state_ = State::EscapeIntermediate;
    } else if (c == 0x1B) {
        state_ = State::Escape;
    }
}

void TerminalScreen::Control(char32_t c)
{
    switch (c) {
    case U'\r':
        column_ = 0;
        pendingWrap_ = false;
        return;
    case U'\n':
        LineFeed();
        return;
    case 0x08:
        column_ = std::max(column_ - 1, 0);
        pendingWrap_ = false;
        return;
    case U'\t':
        column_ = std::min((column_ / kTabWidth + 1) * kTabWidth, columns_ - 1);
        pendingWrap_ = false;
        return;
    default:
        return;  // the bell and the rest show nothing
    }
}

int TerminalScreen::Parameter(std::size_t index, int fallback) const
{
    if (index >= parameters_.size() || parameters_[index] == 0)
        return fallback;
    return parameters_[index];
}

void TerminalScreen::ControlSequence(char32_t final)
{
    const int n = Parameter(0, 1);
    switch (final) {
    case U'A':
        MoveTo(row_ - n, column_);
        return;
    case U'B':
    case U'e':
        MoveTo(row_ + n, column_);
        return;
    case U'C':
    case U'a':
        MoveTo(row_, column_ + n);
        return;
    case U'D':
        MoveTo(row_, column_ - n);
        return;
    case U'E':
        MoveTo(row_ + n, 0);
        return;
    case U'F':
        MoveTo(row_ - n, 0);
        return;
    case U'G':
    case U'`':
        MoveTo(row_, n - 1);
        return;
    case U'd':
        MoveTo(n - 1, column_);
        return;
    case U'H':
    case U'f': {
        const int row = Parameter(0, 1) - 1;
        const int column = Parameter(1, 1) - 1;
        MoveTo(row, column);
        if (row_ == 0 && column_ == 0) {
            wipingFromHome_ = true;
            std::fill(erasedRows_.begin(), erasedRows_.end(), false);
        }
        return;
    }
    case U'K':
        EraseInLine(parameters_.empty() ? 0 : parameters_[0]);
        return;
    case U'J':
        EraseInDisplay(parameters_.empty() ? 0 : parameters_[0]);
        return;
    case U'X':
        EraseCells(row_, column_, std::min(column_ + n, columns_));
        return;
    case U'@': {
        std::u32string& cells = screen_[static_cast<std::size_t>(row_)].cells;
        const auto count = static_cast<std::size_t>(std::min(n, columns_ - column_));
        cells.insert(static_cast<std::size_t>(column_), count, kBlank);
        cells.resize(static_cast<std::size_t>(columns_));
        return;
    }
    case U'P': {
        std::u32string& cells = screen_[static_cast<std::size_t>(row_)].cells;
        const auto count = static_cast<std::size_t>(std::min(n, columns_ - column_));
        cells.erase(static_cast<std::size_t>(column_), count);
        cells.resize(static_cast<std::size_t>(columns_), kBlank);
        return;
    }
    default:
        return;  // colours and the rest change nothing the pane shows
    }
}

void TerminalScreen::MoveTo(int row, int column)
{
    row_ = std::clamp(row, 0, rows_ - 1);
    column_ = std::clamp(column, 0, columns_ - 1);
    pendingWrap_ = false;
}

void TerminalScreen::Print(char32_t c)
{
    if (pendingWrap_) {
        screen_[static_cast<std::size_t>(row_)].wrapped = true;
        column_ = 0;
        LineFeed();
    }
    wipingFromHome_ = false;
    Row& row = screen_[static_cast<std::size_t>(row_)];
    row.cells[static_cast<std::size_t>(column_)] = c;
    if (column_ + 1 < columns_)
        ++column_;
    else
        pendingWrap_ = true;
}

void TerminalScreen::LineFeed()
{
    pendingWrap_ = false;
    if (row_ + 1 < rows_) {
        ++row_;
        return;
    }
    wipingFromHome_ = false;
    ScrollUp();
}

void TerminalScreen::ScrollUp()
{
    Row top = std::move(screen_.front());
    screen_.erase(screen_.begin());
    screen_.push_back(Row{std::u32string(static_cast<std::size_t>(columns_), kBlank), false});
    // A wrapped row fills its width, blanks included: they are part of the line.
    unfinished_ += RowText(top.cells, top.wrapped ? top.cells.size() : TextLength(top.cells));
    if (!top.wrapped) {
        scrolled_.lines.push_back(std::move(unfinished_));
        unfinished_.clear();
    }
}

void TerminalScreen::EraseCells(int row, int from, int to)
{
    std::u32string& cells = screen_[static_cast<std::size_t>(row)].cells;
    std::fill(cells.begin() + from, cells.begin() + std::max(from, to), kBlank);
}

void TerminalScreen::NoteErasedRow(int row)
{
    screen_[static_cast<std::size_t>(row)].wrapped = false;
    if (!wipingFromHome_)
        return;
    erasedRows_[static_cast<std::size_t>(row)] = true;
    if (std::all_of(erasedRows_.begin(), erasedRows_.end(), [](bool erased) { return erased; })) {
        wipingFromHome_ = false;
        Clear();
    }
}

void TerminalScreen::EraseInLine(int mode)
{
    if (mode == 1) {
        EraseCells(row_, 0, column_ + 1);
        return;
    }
    EraseCells(row_, mode == 2 ? 0 : column_, columns_);
    if (mode == 2 || column_ == 0)
        NoteErasedRow(row_);
}

void TerminalScreen::EraseInDisplay(int mode)
{
    if (mode == 2 || mode == 3) {
        // Clearing the screen is a console's cls: everything printed so far goes.
        for (int row = 0; row < rows_; ++row) {
            EraseCells(row, 0, columns_);
            screen_[static_cast<std::size_t>(row)].wrapped = false;
        }
        Clear();
        return;
    }
    if (mode == 1) {
        for (int row = 0; row < row_; ++row)
            EraseCells(row, 0, columns_);
        EraseCells(row_, 0, column_ + 1);
        return;
    }
    EraseCells(row_, column_, columns_);
    for (int row = row_ + 1; row < rows_; ++row)
        EraseCells(row, 0, columns_);
}

void TerminalScreen::Clear()
{
    scrolled_.cleared = true;
    scrolled_.lines.clear();
    unfinished_.clear();
}

TerminalScreen::Scrolled TerminalScreen::TakeScrolled()
{
    Scrolled taken = std::move(scrolled_);
    scrolled_ = Scrolled{};
    return taken;
}

std::vector<std::u16string> TerminalScreen::ScreenLines() const
{
    int last = row_;
    for (int row = rows_ - 1; row > last; --row) {
        if (TextLength(screen_[static_cast<std::size_t>(row)].cells) > 0) {
            last = row;
            break;
        }
    }
    std::vector<std::u16string> lines;
    std::u16string line = unfinished_;
    for (int row = 0; row <= last; ++row) {
        const Row& r = screen_[static_cast<std::size_t>(row)];
        std::size_t length = r.wrapped ? r.cells.size() : TextLength(r.cells);
        if (row == row_)
            length = std::max(length, static_cast<std::size_t>(pendingWrap_ ? columns_ : column_));
        line += RowText(r.cells, length);
        if (!r.wrapped || row == last) {
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    return lines;
}
