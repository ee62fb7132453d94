#include "settings/project_file.h"

#include "files/file_io.h"
#include "win32/holders.h"

bool SaveSettingsFile(const wchar_t* path, const Settings& settings)
{
    const SettingsImage image = SettingsToImage(settings);
    return WriteFileSafely(path, image);
}

ProjectRead LoadSettingsFile(const wchar_t* path, Settings& settings)
{
    ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return ProjectRead::NotOpened;
    SettingsImage image{};
    DWORD total = 0;
    while (total < image.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), image.data() + total, static_cast<DWORD>(image.size() - total), &got, nullptr) ||
            got == 0)
            return ProjectRead::TooShort;
        total += got;
    }
    settings = *SettingsFromImage(image);
    return ProjectRead::Read;
}
