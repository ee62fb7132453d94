#pragma once
// The one settings record of the process and the project path that goes with it.

#include <windows.h>

#include "settings/settings_record.h"

constexpr int kProjectNameCapacity = 260;

extern Settings ustawienia;
extern LOGFONTW lf;
extern wchar_t project_name[kProjectNameCapacity];
