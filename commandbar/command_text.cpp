#include "commandbar/command_text.h"

#include <initializer_list>

#include "output/command_line.h"
#include "text/decimal_text.h"

namespace {

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/' || c == u':';
}

// The characters that make a name unsafe to hand to the interpreter or to delete. The
// interpreter expands %NAME% in what Run hands it, while the delete takes the name as written.
constexpr std::u16string_view kUnsafeCharacters = u"*?&|<>^\"%";

// Options of gcc whose value is the next argument when it is not attached.
constexpr std::u16string_view kOptionsWithValue[] = {
    u"-o", u"-I", u"-L", u"-D", u"-U", u"-x", u"-l", u"-include", u"-imacros", u"-isystem", u"-idirafter",
    u"-iquote", u"-MF", u"-MT", u"-MQ", u"-Xlinker", u"-Xassembler", u"-Xpreprocessor", u"-T", u"-u"};

char16_t FoldedAscii(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c - u'A' + u'a');
    return c == u'/' ? u'\\' : c;
}

// Whether two names are the same file as Windows sees it: letters of either case, either slash,
// and a leading ".\\" alike.
bool SameFileName(std::u16string_view a, std::u16string_view b)
{
    const auto trimmed = [](std::u16string_view name) {
        while (name.size() > 2 && name[0] == u'.' && (name[1] == u'\\' || name[1] == u'/'))
            name.remove_prefix(2);
        return name;
    };
    a = trimmed(a);
    b = trimmed(b);
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldedAscii(a[i]) != FoldedAscii(b[i]))
            return false;
    }
    return true;
}

bool HasExtension(std::u16string_view name, std::initializer_list<std::u16string_view> extensions)
{
    for (const std::u16string_view extension : extensions) {
        if (name.size() > extension.size() && SameFileName(name.substr(name.size() - extension.size()), extension))
            return true;
    }
    return false;
}

bool IsSourceOrHeader(std::u16string_view name)
{
    return HasExtension(name, {u".c", u".h", u".cpp", u".hpp"});
}

bool TakesSeparateValue(std::u16string_view argument)
{
    for (const std::u16string_view option : kOptionsWithValue) {
        if (argument == option)
            return true;
    }
    return false;
}

// Where the first "-o" stands, and where its value does (the same argument when attached).
struct OptionAt {
    std::size_t option;
    std::size_t value;
};

std::optional<OptionAt> FirstOption(const std::vector<std::u16string>& arguments, std::u16string_view option)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!option.empty() && arguments[i].starts_with(option))
            return OptionAt{i, arguments[i].size() > option.size() ? i : i + 1};
    }
    return std::nullopt;
}

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
    const std::optional<OptionAt> at = FirstOption(arguments, option);
    if (!at)
        return std::nullopt;
    if (at->value == at->option)
        return arguments[at->option].substr(option.size());
    return at->value < arguments.size() ? arguments[at->value] : std::u16string();
}

ProgramName ProgramNameOf(std::u16string_view directive)
{
    const std::vector<std::u16string> arguments = DirectiveArguments(directive);
    const std::optional<OptionAt> at = FirstOption(arguments, u"-o");
    if (!at)
        return {u"a.exe"};
    const std::u16string value = at->value == at->option ? arguments[at->option].substr(2)
                                 : at->value < arguments.size() ? arguments[at->value]
                                                                : std::u16string();
    if (value.empty())
        return {u"", ProgramNameProblem::Missing};

    ProgramName program{value};
    if (NeedsExeAdded(program.name))
        program.name += u".exe";
    if (program.name.find_first_of(kUnsafeCharacters) != std::u16string::npos) {
        program.problem = ProgramNameProblem::Unsafe;
    } else if (program.name.size() > kLongestProgramName) {
        program.problem = ProgramNameProblem::TooLong;
    } else if (IsSourceOrHeader(program.name)) {
        program.problem = ProgramNameProblem::Source;
    } else {
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            if (i != at->option && i != at->value && SameFileName(arguments[i], program.name))
                program.problem = ProgramNameProblem::Input;
        }
    }
    return program;
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
               u"\" zawiera znak * ? & | < > ^ % lub \", więc program nie jest usuwany ani uruchamiany.\r\n";
    case ProgramNameProblem::Source:
        return u"Po \"-o\" stoi nazwa pliku źródłowego \"" + program.name +
               u"\", więc nie jest on usuwany ani uruchamiany.\r\n";
    case ProgramNameProblem::Input:
        return u"Plik \"" + program.name +
               u"\" po \"-o\" jest też plikiem wejściowym dyrektywy, więc nie jest usuwany ani uruchamiany.\r\n";
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

std::vector<std::u16string> DirectiveSourceFiles(std::u16string_view directive)
{
    const std::vector<std::u16string> arguments = DirectiveArguments(directive);
    std::vector<std::u16string> sources;
    // The first argument is the compiler itself.
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::u16string& argument = arguments[i];
        if (TakesSeparateValue(argument)) {
            ++i;
            continue;
        }
        if (!argument.starts_with(u'-') && !argument.starts_with(u'@') &&
            HasExtension(argument, {u".c", u".cpp", u".cc", u".cxx"}))
            sources.push_back(argument);
    }
    return sources;
}

std::u16string OtherFileLine(std::u16string_view editorFile, const std::vector<std::u16string>& compiled)
{
    std::u16string names;
    for (const std::u16string& name : compiled)
        names += (names.empty() ? u"" : u", ") + name;
    return u"Uwaga: w edytorze jest plik " + std::u16string(editorFile) + u", a dyrektywa kompiluje " + names +
           u".";
}
