// The gcc bridge's reading of a call from the Wine session: its command line, its paths, and
// what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/gcc_bridge/bridge_call.h"

using namespace gcc_bridge;

namespace {

const DriveMap kDrives{{'c', "/home/ala/.wine/drive_c"}, {'z', ""}, {'d', "/media/kurs"}};

TEST(BridgeCall, CommandLineSplitsAsTheWindowsRuntimeSplitsIt)
{
    struct Case {
        const char* line;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"gcc -o out_file main.c", {"gcc", "-o", "out_file", "main.c"}},
        {"  gcc\t-c   a.c  ", {"", "gcc", "-c", "a.c"}},  // leading space: the name is empty
        {"\"C:\\Program Files\\gcc.exe\" x", {"C:\\Program Files\\gcc.exe", "x"}},
        {"gcc \"moje pliki\\main.c\" -o \"wy nik\"", {"gcc", "moje pliki\\main.c", "-o", "wy nik"}},
        {"gcc a\\\\b c\\d", {"gcc", "a\\\\b", "c\\d"}},                 // backslashes alone stay
        {"gcc \"a\\\\\" b", {"gcc", "a\\", "b"}},                      // 2n backslashes + quote: n
        {"gcc -DQ=\\\"x\\\" y", {"gcc", "-DQ=\"x\"", "y"}},            // 2n+1: n and a quote
        {"gcc \"\" \"say \"\"hi\"\"\"", {"gcc", "", "say \"hi\""}},    // empty; doubled quote
        {"gcc a\"b c\"d", {"gcc", "ab cd"}},                           // quotes inside a word
        {"gcc", {"gcc"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
}

TEST(BridgeCall, WindowsPathsMapThroughTheDrivesOrAreRefused)
{
    struct Case {
        const char* windows;
        const char* linux;  // nullptr: refused
    };
    const Case cases[] = {
        {"Z:\\home\\ala\\kurs", "/home/ala/kurs"},
        {"z:/home/ala/kurs/", "/home/ala/kurs"},
        {"Z:\\", "/"},
        {"C:\\users\\ala\\main.c", "/home/ala/.wine/drive_c/users/ala/main.c"},
        {"C:\\a\\.\\b\\..\\c", "/home/ala/.wine/drive_c/a/c"},
        {"C:\\..\\..\\etc\\passwd", "/home/ala/.wine/drive_c/etc/passwd"},  // stops at the root
        {"D:\\zadanie 1\\main.c", "/media/kurs/zadanie 1/main.c"},
        {"E:\\main.c", nullptr},              // a drive the prefix does not map
        {"\\\\serwer\\dzial\\main.c", nullptr},
        {"\\\\?\\C:\\main.c", nullptr},
        {"C:main.c", nullptr},
        {"main.c", nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> linux = LinuxPathOf(c.windows, kDrives);
        if (c.linux)
            EXPECT_EQ(linux, std::optional<std::string>(c.linux)) << c.windows;
        else
            EXPECT_FALSE(linux) << c.windows << " -> " << *linux;
    }
}

TEST(BridgeCall, CallsTranslateTheirFolderAndPathsOrAreRefused)
{
    struct Case {
        const char* folder;
        const char* line;
        const char* linuxFolder;  // nullptr: refused
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        // Relative names stay relative, so messages read "main.c:3:5: ...".
        {"Z:\\home\\ala\\kurs", "gcc -o out_file main.c", "/home/ala/kurs", {"-o", "out_file", "main.c"}},
        {"C:\\kurs", "gcc -Wall src\\main.c -o bin\\out", "/home/ala/.wine/drive_c/kurs",
         {"-Wall", "src/main.c", "-o", "bin/out"}},
        {"C:\\kurs", "gcc \"C:\\moje pliki\\main.c\" -ID:\\include -oZ:\\tmp\\a", "/home/ala/.wine/drive_c/kurs",
         {"/home/ala/.wine/drive_c/moje pliki/main.c", "-I/media/kurs/include", "-o/tmp/a"}},
        {"C:\\kurs", "gcc \\inne\\main.c", "/home/ala/.wine/drive_c/kurs", {"/home/ala/.wine/drive_c/inne/main.c"}},
        {"C:\\kurs", "gcc ..\\main.c -DNAME=\\\"a\\\\b\\\"", "/home/ala/.wine/drive_c/kurs",
         {"../main.c", "-DNAME=\"a\\\\b\""}},  // options other than paths pass unchanged
        // Refused: outside what the session reaches, or options that start other programs.
        {"E:\\kurs", "gcc main.c", nullptr, {}},
        {"C:\\kurs", "gcc ..\\..\\..\\etc\\passwd", nullptr, {}},
        {"C:\\kurs", "gcc -I..\\..\\x main.c", nullptr, {}},
        {"C:\\kurs", "gcc E:\\main.c", nullptr, {}},
        {"C:\\kurs", "gcc \\\\serwer\\main.c", nullptr, {}},
        {"C:\\kurs", "gcc -wrapper sh,-c main.c", nullptr, {}},
        {"C:\\kurs", "gcc -fplugin=x.so main.c", nullptr, {}},
        {"C:\\kurs", "gcc -B\\tmp main.c", nullptr, {}},
        {"C:\\kurs", "gcc -specs=x main.c", nullptr, {}},
    };
    for (const Case& c : cases) {
        const Translation translation = TranslateRequest({c.folder, c.line}, kDrives);
        if (!c.linuxFolder) {
            EXPECT_FALSE(translation.call) << c.line;
            EXPECT_FALSE(translation.refusal.empty()) << c.line;
            continue;
        }
        ASSERT_TRUE(translation.call) << c.line << ": " << translation.refusal;
        EXPECT_EQ(translation.call->folder, c.linuxFolder) << c.line;
        EXPECT_EQ(translation.call->arguments, c.arguments) << c.line;
    }
}

TEST(BridgeCall, RequestsSurviveTheTripAndDamagedOnesAreNotRead)
{
    const Request request{"Z:\\home\\ala\\zadanie ż", "gcc -o \"a b\" main.c"};
    const std::string bytes = EncodeRequest(request);
    const std::optional<Request> back = DecodeRequest(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->windowsFolder, request.windowsFolder);
    EXPECT_EQ(back->commandLine, request.commandLine);

    EXPECT_FALSE(DecodeRequest(bytes.substr(0, bytes.size() - 1)));  // cut short
    EXPECT_FALSE(DecodeRequest(bytes + std::string(1, '\0')));      // a field too many
    EXPECT_FALSE(DecodeRequest("x" + bytes));                        // not a request
    EXPECT_FALSE(DecodeRequest(""));
}

}  // namespace
