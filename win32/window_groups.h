#pragma once
// A window group keeps a bank of controls with one layout rectangle each
// (left, top, right, bottom used as x, y, width, height) and its show/hide operations.

#include <windows.h>

#include <cstdint>

#include "win32/layout.h"

constexpr int kGroupCapacity = 100;

struct WManager;
using GroupSlotsOperation = void (*)(WManager* group, const std::int32_t* slots, int entries);
using GroupOperation = void (*)(WManager* group);

struct WManager {
    std::int8_t count;
    HWND windows[kGroupCapacity];
    RECT rects[kGroupCapacity];
    std::uint8_t visible;
    GroupSlotsOperation show;
    GroupSlotsOperation hide;
    GroupOperation showAll;
    GroupOperation hideAll;
};

void PokazOkna(WManager* group, const std::int32_t* slots, int entries);
void UkryjOkna(WManager* group, const std::int32_t* slots, int entries);
void PokazWszystkieOkna(WManager* group);
void UkryjWszystkieOkna(WManager* group);
void ResetujPozycjeOkien(WManager* group);

// Stores the four operations in the record.
void AttachGroupOperations(WManager* group);

// A slot's layout rectangle as the group keeps it, and back.
RECT AsGroupRect(const LayoutRect& place);
LayoutRect GroupPlace(const WManager& group, int slot);

// Gives every control of the group the font, without redrawing them.
void SetFontOnGroup(const WManager& group, HFONT font);
