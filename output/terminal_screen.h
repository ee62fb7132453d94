#pragma once
// What a console shows, rebuilt from the text and escape sequences a pseudoconsole writes
// (UTF-8), so that the pane can show it. Portable.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A screen of `columns` by `rows` cells with a cursor. Rows that scroll off its top are handed
// over as finished lines, so that nothing the program printed is lost; a row the console
// wrapped and the row it wrapped into are one line. Text, CR, LF, backspace, tab, erasing,
// cursor moves within the screen and clearing the screen act as in a console; every other
// sequence (colours, the title, the cursor's visibility) is dropped.
class TerminalScreen {
public:
    TerminalScreen(int columns, int rows);

    void Feed(std::string_view utf8);

    // Lines that have left the screen since the last call, oldest first. `cleared` says that
    // the program cleared its console since then: the lines handed over before it are gone.
    struct Scrolled {
        bool cleared = false;
        std::vector<std::u16string> lines;
    };
    Scrolled TakeScrolled();

    // The screen's lines from the top down to the last one holding text or the cursor, each
    // without its trailing blanks (the cursor's row keeps them up to the cursor).
    std::vector<std::u16string> ScreenLines() const;

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }

private:
    struct Row {
        std::u32string cells;
        bool wrapped = false;  // the text goes on in the next row
    };

    void Character(char32_t c);
    void Control(char32_t c);
    void Escape(char32_t c);
    void ControlSequence(char32_t final);
    void Print(char32_t c);
    void LineFeed();
    void ScrollUp();
    void EraseInLine(int mode);
    void EraseInDisplay(int mode);
    void EraseCells(int row, int from, int to);
    void MoveTo(int row, int column);
    void Clear();
    void NoteErasedRow(int row);
    int Parameter(std::size_t index, int fallback) const;

    int columns_;
    int rows_;
    std::vector<Row> screen_;
    int row_ = 0;
    int column_ = 0;
    bool pendingWrap_ = false;  // the last column was written: the next character wraps

    // Decoding UTF-8 across calls.
    char32_t codePoint_ = 0;
    int continuationBytes_ = 0;
    char32_t smallest_ = 0;  // below it the sequence is an overlong form

    enum class State { Text, Escape, EscapeIntermediate, Sequence, String, StringEscape };
    State state_ = State::Text;
    std::vector<int> parameters_;
    bool privateSequence_ = false;
    bool intermediate_ = false;

    // A console clears itself by going home and erasing every row; each erased row is noted
    // until text is written.
    bool wipingFromHome_ = false;
    std::vector<bool> erasedRows_;

    Scrolled scrolled_;
    std::u16string unfinished_;  // rows scrolled off whose line goes on on the screen
};
