#pragma once
// The texts that Compile and Run build from the compile directive. Portable.

#include <cstddef>
#include <string>
#include <string_view>

// Room for the output name: a value of up to 255 characters, ".exe" and a terminator.
constexpr std::size_t kOutputNameRoom = 256 + 4;
constexpr std::size_t kDeleteCommandRoom = 256;

// Writes into destination the value that follows the first occurrence of option in text
// (spaces after the option skipped, up to the next space), cut to capacity - 1 characters,
// with ".exe" and a terminator behind it; an empty string when the option is absent.
// destination must have room for capacity + 4 characters. With capacity 0 nothing fits
// and nothing is written.
void get_value_after_option(std::u16string_view text, std::u16string_view option, char16_t* destination,
                            std::size_t capacity);

// "del " and the output name, cut so that it fits kDeleteCommandRoom with its terminator.
std::u16string DeleteCommand(std::u16string_view outputName);
