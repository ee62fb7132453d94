#include "commandbar/command_text.h"

#include "output/command_line.h"
#include "text/decimal_text.h"

namespace {

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/' || c == u':';
}

// The characters that make a name unsafe to hand to the interpreter or to delete.
constexpr std::u16string_view kUnsafeCharacters = u"*?&|<>^\"";

bool NeedsExeAdded(std::u16string_view name)
{
    std::size_t lastPart = name.size();
    while (lastPart > 0 && !IsSeparator(name[lastPart - 1]))
        --lastPart;
    return name.find(u'.', lastPart) == std::u16string_view::npos;
}

}  // namespace

std::optional<std::u16string> get_value_after_option(std::u16string_view text, std::u16string_view option)
{
    const std::vector<std::u16string> arguments = DirectiveArguments(text);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!option.empty() && arguments[i].starts_with(option)) {
            if (arguments[i].size() > option.size())
                return arguments[i].substr(option.size());
            return i + 1 < arguments.size() ? arguments[i + 1] : std::u16string();
        }
    }
    return std::nullopt;
}

ProgramName ProgramNameOf(std::u16string_view directive)
{
    const std::optional<std::u16string> value = get_value_after_option(directive, u"-o");
    if (!value)
        return {u"a.exe"};
    if (value->empty())
        return {u"", ProgramNameProblem::Missing};

    ProgramName program{*value};
    if (NeedsExeAdded(program.name))
        program.name += u".exe";
    if (program.name.find_first_of(kUnsafeCharacters) != std::u16string::npos)
        program.problem = ProgramNameProblem::Unsafe;
    else if (program.name.size() > kLongestProgramName)
        program.problem = ProgramNameProblem::TooLong;
    return program;
}

std::optional<std::u16string> SourceFileOf(std::u16string_view directive)
{
    // The compiler's options that take the next argument as their value when written alone.
    constexpr std::u16string_view kTakesValue[] = {u"-o", u"-I", u"-L", u"-D", u"-U", u"-x", u"-include",
                                                   u"-isystem", u"-MF", u"-MT", u"-MQ"};
    const std::vector<std::u16string> arguments = DirectiveArguments(directive);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::u16string& argument = arguments[i];
        if (argument.starts_with(u'-')) {
            for (std::u16string_view option : kTakesValue) {
                if (argument == option)
                    ++i;
            }
            continue;
        }
        if (argument.size() > 2 && argument[argument.size() - 2] == u'.' &&
            (argument.back() == u'c' || argument.back() == u'C'))
            return argument;
    }
    return std::nullopt;
}

std::u16string RunCommandFor(std::u16string_view programName)
{
    if (programName.find_first_of(u" \t/") == std::u16string_view::npos)
        return std::u16string(programName);
    std::u16string quoted;
    quoted.reserve(programName.size() + 2);
    quoted.push_back(u'"');
    quoted.append(programName);
    quoted.push_back(u'"');
    return quoted;
}

std::u16string ProgramNameProblemLine(const ProgramName& program)
{
    switch (program.problem) {
    case ProgramNameProblem::Missing:
        return u"Po \"-o\" w dyrektywie nie ma nazwy programu, więc nie jest on usuwany ani uruchamiany.\r\n";
    case ProgramNameProblem::Unsafe:
        return u"Nazwa programu \"" + program.name +
               u"\" zawiera znak * ? & | < > ^ lub \", więc program nie jest usuwany ani uruchamiany.\r\n";
    case ProgramNameProblem::TooLong:
        return u"Nazwa programu ma więcej niż " + DecimalText(kLongestProgramName) +
               u" znaków, więc program nie jest usuwany ani uruchamiany.\r\n";
    case ProgramNameProblem::None:
        break;
    }
    return u"";
}

std::u16string NotDeletedLine(std::u16string_view programName, std::uint32_t errorCode)
{
    return u"Nie udało się usunąć poprzedniego programu " + std::u16string(programName) + u" (kod błędu " +
           DecimalText(errorCode) + u").\r\n";
}

std::u16string UnsavedChangesLine()
{
    return u"Uwaga: edytor ma niezapisane zmiany; kompilowany jest plik z dysku.";
}
