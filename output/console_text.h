#pragma once
// The bytes a program wrote to its console, read back from the characters the console shows
// for them, so that each line can be decoded as the program meant it. Portable.

#include <array>
#include <optional>
#include <string>
#include <string_view>

// A console keeps each byte a program writes in its output code page as one character: the
// code page's own (Windows) or the character of the byte's number (Wine). Either way the
// bytes can be had again; a line holding a character no byte gives (the program wrote wide
// text) has none.
class ConsoleBytes {
public:
    // The characters of bytes 0 to 255 in the console's output code page.
    explicit ConsoleBytes(const std::array<char16_t, 256>& codePageCharacters);

    std::optional<std::string> Recover(std::u16string_view line);

private:
    std::array<char16_t, 256> characters_;
    // Once a line has shown bytes as the characters of their numbers (0x80 to 0x9F are no
    // code page's characters), the console is taken to do so for every line.
    bool bytesAsNumbers_ = false;
};

// The pane's line when the program cannot have a console of its own and runs through pipes.
std::u16string NoConsoleLine();
