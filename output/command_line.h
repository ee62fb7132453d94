#pragma once
// The line that starts a command through the command interpreter. Portable.

#include <cstddef>
#include <string>
#include <string_view>

constexpr std::size_t kCommandLineRoom = 1024;

// "cmd.exe /c " and the command, cut so that it fits kCommandLineRoom with its terminator.
std::u16string InterpreterCommandLine(std::u16string_view command);
