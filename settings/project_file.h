#pragma once
// Project files: the settings record's 1702-byte image, with no header, on disk.

#include <windows.h>

#include "settings/settings_record.h"

// True only when the whole image is on disk; otherwise the file keeps what it held.
bool SaveSettingsFile(const wchar_t* path, const Settings& settings);

enum class ProjectRead { Read, NotOpened, TooShort };

// Reads the file's first 1702 bytes into `settings`, which is left alone unless the result is
// Read. A longer file is read no further.
ProjectRead LoadSettingsFile(const wchar_t* path, Settings& settings);
