#pragma once
// Shifting the lines of a selection sideways. A line break here is CR LF only: a lone CR or LF
// is an ordinary character, and only breaks inside the selection count, so its first line
// never moves.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The selection with `spaces` spaces after every CR LF in it; unchanged when `spaces` is 0 or
// less. nullopt when the result would be longer than `maxLength` or there is no memory for it.
std::optional<std::u16string> IndentSelectionText(std::u16string_view selection, int spaces,
                                                  std::size_t maxLength);

// The selection with up to `spaces` spaces removed after every CR LF in it, stopping at the
// first character that is not a space. nullopt when there is no memory for the result.
std::optional<std::u16string> OutdentSelectionText(std::u16string_view selection, int spaces);
