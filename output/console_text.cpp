#include "output/console_text.h"

#include <algorithm>

ConsoleBytes::ConsoleBytes(const std::array<char16_t, 256>& codePageCharacters) : characters_(codePageCharacters) {}

std::optional<std::string> ConsoleBytes::Recover(std::u16string_view line)
{
    bool allNumbers = true;
    for (char16_t c : line) {
        if (c >= 0x80 && c <= 0x9F)
            bytesAsNumbers_ = true;
        allNumbers = allNumbers && c <= 0xFF;
    }
    std::string bytes;
    bytes.reserve(line.size());
    if (!bytesAsNumbers_ || !allNumbers) {
        for (char16_t c : line) {
            if (c < 0x80) {
                bytes += static_cast<char>(c);
                continue;
            }
            const auto found = std::find(characters_.begin() + 0x80, characters_.end(), c);
            if (found == characters_.end())
                break;
            bytes += static_cast<char>(found - characters_.begin());
        }
        if (bytes.size() == line.size())
            return bytes;
        if (!allNumbers)
            return std::nullopt;
        bytes.clear();
    }
    for (char16_t c : line)
        bytes += static_cast<char>(c);
    return bytes;
}

std::u16string NoConsoleLine()
{
    return u"[Konsola niedostępna: program działa przez potoki, więc jego pytania mogą pojawić się dopiero po "
           u"odpowiedzi, a _getch i cls nie działają.]";
}
