#pragma once
// The marker comments that the jump buttons seek: "//--?00" to "//--?18".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

constexpr std::size_t kJumpMarkerLength = 7;

// The marker of jump slot `slot` (0 to 18): fixed by the slot, whatever the button's caption says.
std::u16string JumpMarker(int slot);

// Where the first occurrence of `marker` begins in `text`, compared exactly, wherever it stands
// (inside a longer run of characters too); nullopt when there is none.
std::optional<std::size_t> FindMarker(std::u16string_view text, std::u16string_view marker);
