#pragma once
// The record's font description and the platform's LOGFONTW hold the same fields in the same
// order; these copy one into the other field by field.

#include <windows.h>

#include "settings/settings_record.h"

FontDescription FontDescriptionFromLogFont(const LOGFONTW& font);
LOGFONTW LogFontFromDescription(const FontDescription& font);
