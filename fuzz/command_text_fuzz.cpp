// The output name read from any compile directive: written only within the destination's
// room of capacity + 4 characters (guard characters on both sides stay untouched), made of
// the characters that follow the option up to a space, cut to capacity - 1, with ".exe" and a
// terminator behind. The command texts always fit their rooms.

#include "commandbar/command_text.h"
#include "output/command_line.h"

#include <algorithm>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

constexpr char16_t kGuard = 0xA5A5;
constexpr std::size_t kGuardUnits = 16;
constexpr std::u16string_view kAlphabet = u" -oa.e\\/x";

void CheckValueAfterOption(std::u16string_view text, std::u16string_view option, std::size_t capacity)
{
    const std::size_t room = capacity + 4;
    std::vector<char16_t> buffer(kGuardUnits + room + kGuardUnits, kGuard);
    char16_t* destination = buffer.data() + kGuardUnits;

    get_value_after_option(text, option, destination, capacity);

    Require(std::all_of(buffer.begin(), buffer.begin() + kGuardUnits, [](char16_t c) { return c == kGuard; }),
            "nothing is written before the destination");
    Require(std::all_of(buffer.end() - kGuardUnits, buffer.end(), [](char16_t c) { return c == kGuard; }),
            "nothing is written past the destination's room");
    if (capacity == 0) {
        Require(std::all_of(buffer.begin(), buffer.end(), [](char16_t c) { return c == kGuard; }),
                "with no capacity nothing is written");
        return;
    }

    const std::size_t found = text.find(option);
    if (found == std::u16string_view::npos) {
        Require(destination[0] == u'\0', "an absent option gives an empty name");
        return;
    }
    std::size_t start = found + option.size();
    while (start < text.size() && text[start] == u' ')
        ++start;

    std::size_t end = text.find(u' ', start);
    if (end == std::u16string_view::npos)
        end = text.size();
    const std::size_t kept = std::min(end - start, capacity - 1);

    const std::u16string_view written(destination, room);
    Require(written.substr(0, kept) == text.substr(start, kept),
            "the value is the text after the option up to a space, cut to capacity - 1");
    Require(written.substr(kept, 5) == std::u16string_view(u".exe\0", 5), "the value has .exe and a terminator behind");
    Require(std::all_of(written.begin() + static_cast<std::ptrdiff_t>(kept) + 5, written.end(),
                        [](char16_t c) { return c == kGuard; }),
            "nothing is written behind the terminator");
}

void CheckCommandTexts(std::u16string_view text)
{
    const std::u16string del = DeleteCommand(text);
    Require(del.size() < kDeleteCommandRoom, "the delete command fits its room");
    Require((u"del " + std::u16string(text)).starts_with(del) && del.starts_with(u"del "),
            "the delete command is the full command, cut");
    const std::u16string line = InterpreterCommandLine(text);
    Require(line.size() < kCommandLineRoom, "the command line fits its room");
    Require((u"cmd.exe /c " + std::u16string(text)).starts_with(line) && line.starts_with(u"cmd.exe /c "),
            "the command line is the full command, cut");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // Mostly the capacities the editor uses and those near the edges; sometimes any up to 300.
    static constexpr std::size_t kCapacities[] = {0, 1, 2, 3, 5, 156, 256};
    const std::size_t capacity = input.ConsumeBool() ? input.PickValueInArray(kCapacities)
                                                     : input.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::u16string option = input.ConsumeBool() ? u"-o" : ConsumeText(input, kAlphabet, 4);
    const std::u16string text = ConsumeRestAsText(input, kAlphabet);

    CheckValueAfterOption(text, option, capacity);
    CheckCommandTexts(text);
    return 0;
}
