#pragma once
// The marker comments that the jump buttons seek: "//--?00" to "//--?18".

#include <string>

// The marker of jump slot `slot` (0 to 18): fixed by the slot, whatever the button's caption says.
std::u16string JumpMarker(int slot);
