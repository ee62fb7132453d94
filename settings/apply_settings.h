#pragma once
// Makes what the user sees follow the settings record: the editor font, the editor colours
// and the jump buttons' captions.

#include "settings/settings_record.h"

// All three, as loading a project needs: font, colours, captions, then a repaint.
void ApplySettings();

// A new hNormalFont made from the record's font, given to the editor and the output pane.
// When no font can be made from it, the editor keeps the font it has and this returns false.
bool ApplyFont();

// textColor and backgroundColor take the record's colours.
void ApplyColors();

// Each jump button shows its caption from the record.
void ApplyJumpCaptions();

// Jump slot `slot`'s caption in the record, NUL-terminated, in `text`.
void CopyJumpCaption(int slot, wchar_t (&text)[kCaptionUnits]);
