#pragma once
// The pane while a command runs: its output, and after it the line the user is typing.

#include <cstddef>
#include <string>
#include <string_view>

#include "output/pipe_threads.h"
#include "output/run_command.h"

// Output arriving while the user types goes before the input line, so the line stays whole
// at the end.
class ConsolePane {
public:
    ConsolePane(FirstOutput first, InputWriter& input);

    void Show(std::wstring text);

    // Once the command has ended, a line typed but not sent stays as it is, and the closing
    // lines follow it.
    void EndInput();

    // A closing line, on a line of its own.
    void ShowLine(const std::wstring& line);

    // A character the keyboard made while the command runs: Backspace corrects the line,
    // Enter sends it, Ctrl+V sends pasted lines, Ctrl+Z ends the input.
    void Key(wchar_t c);

private:
    std::size_t TypedStart() const;
    void Type(std::wstring_view text, bool open);
    void Paste();

    InputWriter& input_;
    bool shownAny_ = false;
    bool atLineStart_ = true;
    bool needsBreak_ = false;  // the text before the command's ends inside a line
    std::wstring typed_;  // the input line, shown at the end of the pane
};
