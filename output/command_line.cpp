#include "output/command_line.h"

namespace {

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

}  // namespace

std::u16string InterpreterCommandLine(std::u16string_view command)
{
    std::u16string line = u"cmd.exe /c " + std::u16string(command);
    if (line.size() >= kCommandLineRoom)
        line.resize(kCommandLineRoom - 1);
    return line;
}

std::vector<std::u16string> DirectiveArguments(std::u16string_view directive)
{
    std::vector<std::u16string> arguments;
    std::size_t at = 0;
    while (at < directive.size()) {
        while (at < directive.size() && IsBlank(directive[at]))
            ++at;
        if (at == directive.size())
            break;
        std::u16string argument;
        bool quoted = false;
        for (; at < directive.size() && (quoted || !IsBlank(directive[at])); ++at) {
            if (directive[at] == u'"')
                quoted = !quoted;
            else
                argument += directive[at];
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}
