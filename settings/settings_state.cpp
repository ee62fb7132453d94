#include "settings/settings_state.h"

Settings ustawienia = {};
LOGFONTW lf = {};
wchar_t project_name[kProjectNameCapacity] = {};
