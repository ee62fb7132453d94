#pragma once
// Message texts that carry a number, formatted without the heap so that a failure report
// cannot fail in its turn.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// A number in decimal, as texts show it.
std::u16string DecimalText(std::uint64_t value);

// Writes `format` into `out` with its first "%lu" replaced by `code` in decimal. The result is
// cut to fit and always terminated; returns its length. An empty `out` receives nothing.
std::size_t FormatWithCode(std::u16string_view format, std::uint32_t code, std::span<char16_t> out);
