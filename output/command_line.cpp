#include "output/command_line.h"

std::u16string InterpreterCommandLine(std::u16string_view command)
{
    std::u16string line = u"cmd.exe /c " + std::u16string(command);
    if (line.size() >= kCommandLineRoom)
        line.resize(kCommandLineRoom - 1);
    return line;
}
