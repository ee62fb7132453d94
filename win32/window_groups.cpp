#include "win32/window_groups.h"

#include "win32/window_ops.h"

namespace {

void ShowSlots(WManager* group, const std::int32_t* slots, int entries, int showCommand)
{
    for (int entry = 0; entry < entries; ++entry)
        ShowWindow(group->windows[slots[entry]], showCommand);
}

void ShowEverySlot(WManager* group, int showCommand)
{
    for (int slot = 0; slot < group->count; ++slot)
        ShowWindow(group->windows[slot], showCommand);
}

}  // namespace

void PokazOkna(WManager* group, const std::int32_t* slots, int entries)
{
    ShowSlots(group, slots, entries, SW_SHOW);
}

void UkryjOkna(WManager* group, const std::int32_t* slots, int entries)
{
    ShowSlots(group, slots, entries, SW_HIDE);
}

void PokazWszystkieOkna(WManager* group)
{
    ShowEverySlot(group, SW_SHOW);
}

void UkryjWszystkieOkna(WManager* group)
{
    ShowEverySlot(group, SW_HIDE);
}

void ResetujPozycjeOkien(WManager* group)
{
    for (int slot = 0; slot < group->count; ++slot) {
        const RECT& place = group->rects[slot];
        SetWindowPos(group->windows[slot], nullptr, place.left, place.top, place.right, place.bottom, SWP_NOZORDER);
    }
}

void AttachGroupOperations(WManager* group)
{
    group->show = PokazOkna;
    group->hide = UkryjOkna;
    group->showAll = PokazWszystkieOkna;
    group->hideAll = UkryjWszystkieOkna;
}

void SetFontOnGroup(const WManager& group, HFONT font)
{
    for (int slot = 0; slot < group.count; ++slot)
        SetFont(group.windows[slot], font);
}

RECT AsGroupRect(const LayoutRect& place)
{
    return {place.x, place.y, place.width, place.height};
}

LayoutRect GroupPlace(const WManager& group, int slot)
{
    const RECT& place = group.rects[slot];
    return {place.left, place.top, place.right, place.bottom};
}
