#include "commandbar/command_text.h"

#include <algorithm>

namespace {

std::u16string CutToRoom(std::u16string text, std::size_t room)
{
    if (text.size() >= room)
        text.resize(room - 1);
    return text;
}

}  // namespace

void get_value_after_option(std::u16string_view text, std::u16string_view option, char16_t* destination,
                            std::size_t capacity)
{
    if (capacity == 0)
        return;
    const std::size_t found = text.find(option);
    if (found == std::u16string_view::npos) {
        destination[0] = u'\0';
        return;
    }
    std::size_t start = found + option.size();
    while (start < text.size() && text[start] == u' ')
        ++start;
    std::size_t end = text.find(u' ', start);
    if (end == std::u16string_view::npos)
        end = text.size();

    const std::size_t kept = std::min(end - start, capacity - 1);
    std::copy_n(text.data() + start, kept, destination);
    constexpr std::u16string_view kSuffix = u".exe";
    std::copy(kSuffix.begin(), kSuffix.end(), destination + kept);
    destination[kept + kSuffix.size()] = u'\0';
}

std::u16string DeleteCommand(std::u16string_view outputName)
{
    return CutToRoom(u"del " + std::u16string(outputName), kDeleteCommandRoom);
}
