#pragma once

#include <optional>
#include <string>
#include <string_view>

// Reads the field like _wtoi: leading white space, an optional sign, then
// decimal digits up to the first non-digit. No number gives 0. Values past
// the 32-bit range clamp to its nearest end.
int ParseCount(std::u16string_view text);

// The new count for the "+" / "-" buttons; nullopt leaves the field alone.
std::optional<int> CountAfterPlus(int current);
std::optional<int> CountAfterMinus(int current);

// Decimal, with '-' for negatives, never shortened.
std::u16string FormatCount(int value);
