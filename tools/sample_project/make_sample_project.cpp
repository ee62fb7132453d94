// Writes the sample project file shipped with the package: the record the editor starts with,
// with the first two jump buttons named after the sample program's markers.
//   make_sample_project OUT_FILE
#include <cstdio>

#include "settings/settings_record.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_project OUT_FILE\n");
        return 2;
    }
    Settings settings = StartSettings();
    WriteTextField(settings.jumpCaptions[0], u"Dane");
    WriteTextField(settings.jumpCaptions[1], u"Wynik");
    const SettingsImage image = SettingsToImage(settings);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(image.data(), 1, image.size(), out) != image.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
