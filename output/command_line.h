#pragma once
// The line that starts a command through the command interpreter. Portable.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

constexpr std::size_t kCommandLineRoom = 1024;

// "cmd.exe /c " and the command, cut so that it fits kCommandLineRoom with its terminator.
std::u16string InterpreterCommandLine(std::u16string_view command);

// A command split into arguments as the interpreter hands them on: at spaces and tabs outside
// double quotes, the quotes themselves removed.
std::vector<std::u16string> DirectiveArguments(std::u16string_view directive);
