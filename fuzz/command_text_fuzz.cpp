// The program name read from any compile directive: a name that is used is never empty, never
// longer than its limit and holds none of the characters the interpreter would act on; Run's
// command gives the interpreter that one name back; the command line always fits its room.

#include "commandbar/command_text.h"

#include <algorithm>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "output/command_line.h"

namespace {

constexpr std::u16string_view kAlphabet = u" \t\"-oa.e\\/x*&";

void CheckProgramName(std::u16string_view directive)
{
    const ProgramName program = ProgramNameOf(directive);
    const std::optional<std::u16string> value = get_value_after_option(directive, u"-o");
    Require(value.has_value() || program.name == u"a.exe", "without -o the program is a.exe");
    Require((program.problem == ProgramNameProblem::Missing) == (value && value->empty()),
            "an -o without a value, and only that, names no program");
    if (program.problem != ProgramNameProblem::None) {
        Require(!ProgramNameProblemLine(program).empty(), "a refused name is explained");
        return;
    }
    Require(!program.name.empty() && program.name.size() <= kLongestProgramName, "a used name fits its limit");
    Require(program.name.find_first_of(u"*?&|<>^\"") == std::u16string::npos, "a used name holds nothing unsafe");
    Require(!value || program.name.starts_with(*value), "the name is the value, perhaps with .exe added");
    const std::vector<std::u16string> runArguments = DirectiveArguments(RunCommandFor(program.name));
    Require(runArguments.size() == 1 && runArguments[0] == program.name, "Run hands over exactly the one name");
}

void CheckCommandLine(std::u16string_view text)
{
    const std::u16string line = InterpreterCommandLine(text);
    Require(line.size() < kCommandLineRoom, "the command line fits its room");
    Require((u"cmd.exe /c " + std::u16string(text)).starts_with(line) && line.starts_with(u"cmd.exe /c "),
            "the command line is the full command, cut");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::u16string text = ConsumeRestAsText(input, kAlphabet);
    CheckProgramName(text);
    CheckCommandLine(text);
    return 0;
}
