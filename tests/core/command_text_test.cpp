#include "commandbar/command_text.h"
#include "output/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct OptionCase {
    std::u16string_view directive;
    std::size_t capacity;
    std::u16string expected;
};

// Runs the reader on a buffer with guard characters around the room it may use.
std::u16string ValueAfterOption(std::u16string_view directive, std::size_t capacity)
{
    constexpr char16_t kGuard = u'#';
    std::u16string buffer(capacity + 4 + 2, kGuard);
    get_value_after_option(directive, u"-o", buffer.data() + 1, capacity);
    EXPECT_EQ(buffer.front(), kGuard);
    EXPECT_EQ(buffer.back(), kGuard) << "wrote past the room of capacity + 4";
    if (capacity == 0)
        return buffer.substr(1, buffer.size() - 2);
    return std::u16string(buffer.c_str() + 1);
}

TEST(OutputName, ValueAfterTheFirstOptionWithExe)
{
    const std::u16string longValue(400, u'x');
    const std::u16string directiveWithLongValue = u"gcc -o " + longValue + u" main.c";
    const OptionCase cases[] = {
        {u"gcc -o out_file main.c", 256, u"out_file.exe"},
        {u"gcc main.c", 256, u""},
        {u"gcc main.c -o   ", 256, u".exe"},
        {u"gcc -o prog.exe main.c", 256, u"prog.exe.exe"},
        {u"gcc -oprog main.c", 256, u"prog.exe"},
        {u"gcc -fno-omit-frame-pointer -o x main.c", 256, u"mit-frame-pointer.exe"},
        {u"gcc -O2 -o x main.c", 256, u"x.exe"},  // case matters: -O is not -o
        {u"gcc -o a\tb main.c", 256, u"a\tb.exe"},  // only spaces end the value
        {directiveWithLongValue, 256, std::u16string(255, u'x') + u".exe"},
        {directiveWithLongValue, 156, std::u16string(155, u'x') + u".exe"},
        {u"gcc -o x", 1, u".exe"},
    };
    for (const OptionCase& c : cases)
        EXPECT_EQ(ValueAfterOption(c.directive, c.capacity), c.expected) << std::string(c.directive.begin(), c.directive.end());
}

TEST(OutputName, CapacityZeroWritesNothing)
{
    EXPECT_EQ(ValueAfterOption(u"gcc -o out main.c", 0), u"####");
    EXPECT_EQ(ValueAfterOption(u"gcc main.c", 0), u"####");
}

TEST(CommandText, DeleteAndInterpreterLinesAreCutToTheirRoom)
{
    EXPECT_EQ(DeleteCommand(u"out_file.exe"), u"del out_file.exe");
    EXPECT_EQ(DeleteCommand(u""), u"del ");
    EXPECT_EQ(DeleteCommand(std::u16string(255, u'x') + u".exe").size(), kDeleteCommandRoom - 1);

    EXPECT_EQ(InterpreterCommandLine(u"gcc -o out_file main.c"), u"cmd.exe /c gcc -o out_file main.c");
    EXPECT_EQ(InterpreterCommandLine(u""), u"cmd.exe /c ");
    EXPECT_EQ(InterpreterCommandLine(std::u16string(599, u'g')).size(), 11u + 599u);
    EXPECT_EQ(InterpreterCommandLine(std::u16string(5000, u'g')).size(), kCommandLineRoom - 1);
}

}  // namespace
