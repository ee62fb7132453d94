#pragma once
// What a program's exit code says in words a student understands, for the codes with which
// Windows ends a crashed program. Portable.

#include <cstdint>
#include <string_view>

// The meaning in Polish, or an empty text for an exit code that is no known crash.
std::u16string_view ExitCodeMeaning(std::uint32_t exitCode);
