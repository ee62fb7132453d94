#pragma once
// Building a long text in place without first clearing memory that is written anyway. Portable.

#include <cstddef>
#include <string>

// The string that `write(Char* data)` puts into `room` units of memory; `write` returns how
// many units it made, at most `room`. Without the standard library's support the memory is
// cleared first, which costs time but gives the same string.
template <typename Char = char16_t, typename Write>
std::basic_string<Char> WrittenString(std::size_t room, Write write)
{
    std::basic_string<Char> text;
#ifdef __cpp_lib_string_resize_and_overwrite
    text.resize_and_overwrite(room, [&write](Char* data, std::size_t) { return write(data); });
#else
    text.resize(room);
    text.resize(write(text.data()));
#endif
    return text;
}
