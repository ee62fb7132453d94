// The console's output on its way to the pane, in pieces of any size: how it is split changes
// nothing; no control character or escape reaches a line; the screen never holds more lines
// than its rows; and printable ASCII with line breaks comes out as it went in.

#include "output/terminal_screen.h"

#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

struct Shown {
    std::vector<std::u16string> lines;  // scrolled off, then the screen's
    bool cleared = false;
};

Shown Collect(TerminalScreen& screen, Shown shown)
{
    TerminalScreen::Scrolled scrolled = screen.TakeScrolled();
    if (scrolled.cleared) {
        shown.lines.clear();
        shown.cleared = true;
    }
    shown.lines.insert(shown.lines.end(), scrolled.lines.begin(), scrolled.lines.end());
    return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int columns = input.ConsumeIntegralInRange(1, 12);
    const int rows = input.ConsumeIntegralInRange(1, 6);
    const bool plain = input.ConsumeBool();
    std::vector<std::string> pieces;
    while (input.remaining_bytes() > 0 && pieces.size() < 16)
        pieces.push_back(input.ConsumeRandomLengthString(64));
    if (plain) {
        // Printable ASCII but blanks, and CR LF, each line shorter than the screen is wide.
        for (std::string& piece : pieces) {
            for (char& c : piece)
                c = static_cast<char>('!' + static_cast<unsigned char>(c) % 94);
        }
    }
    std::string whole;
    for (const std::string& piece : pieces)
        whole += plain ? piece.substr(0, static_cast<std::size_t>(columns - 1)) + "\r\n" : piece;

    TerminalScreen once(columns, rows);
    once.Feed(whole);
    Shown onceShown = Collect(once, {});
    const std::vector<std::u16string> onceScreen = once.ScreenLines();

    TerminalScreen split(columns, rows);
    Shown splitShown;
    std::size_t at = 0;
    for (const std::string& piece : pieces) {
        const std::size_t length = std::min(piece.size() % 7 + 1, whole.size() - at);
        split.Feed(std::string_view(whole).substr(at, length));
        at += length;
        splitShown = Collect(split, std::move(splitShown));
    }
    split.Feed(std::string_view(whole).substr(at));
    splitShown = Collect(split, std::move(splitShown));
    Require(splitShown.lines == onceShown.lines && split.ScreenLines() == onceScreen,
            "the same output shows the same however it is split");
    Require(onceScreen.size() <= static_cast<std::size_t>(rows), "the screen holds at most its rows");
    for (const auto* lines : {&std::as_const(onceShown.lines), &onceScreen}) {
        for (const std::u16string& line : *lines) {
            for (char16_t c : line)
                Require(c >= 0x20 && c != 0x7F, "no control character or escape reaches a line");
        }
    }
    if (plain) {
        std::u16string expected;
        for (char c : whole)
            expected += static_cast<char16_t>(c);
        std::u16string shown;
        for (const auto* lines : {&std::as_const(onceShown.lines), &onceScreen}) {
            for (const std::u16string& line : *lines)
                shown += line + u"\r\n";
        }
        // The screen's last line is the empty one the cursor stands on.
        Require(shown == expected + u"\r\n", "plain lines come out as they went in");
    }
    return 0;
}
