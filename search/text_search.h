#pragma once
// The text work behind the search/replace dialog: finding the next occurrence with the wrap,
// the "\n" escape of the replace fields, and replacing every occurrence at once.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How many characters of a dialog field take part in a search or a replacement.
constexpr std::size_t kDialogFieldLimit = 199;

// The first kDialogFieldLimit characters of a field; a character made of a surrogate pair is
// never cut in half, so the cut may be one shorter.
std::u16string_view DialogFieldText(std::u16string_view field);

// The next occurrence of `what` that begins after `selectionStart`, else the first in the whole
// text (the wrap). Case matters. An empty `what` is found nowhere.
std::optional<std::size_t> FindNextOccurrence(std::u16string_view text, std::u16string_view what,
                                              std::size_t selectionStart);

// Every backslash directly followed by a small n becomes CR LF; nothing else is an escape.
// nullopt when there is no memory for the result.
std::optional<std::u16string> replaceNewlineWithCRLF(std::u16string_view text);

// The text with every occurrence of `from` replaced by `to`, left to right, never overlapping and
// never searching what a replacement brought in. nullopt when `from` is empty, when the result
// would be longer than `maxLength`, or when there is no memory for it.
std::optional<std::u16string> ReplaceAllOccurrences(std::u16string_view text, std::u16string_view from,
                                                    std::u16string_view to, std::size_t maxLength);
