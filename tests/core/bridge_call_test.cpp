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
        {"C:\\kurs", "gcc main.c -o", "/home/ala/.wine/drive_c/kurs", {"main.c", "-o"}},  // gcc says what is missing
        // Refused: outside what the session reaches.
        {"E:\\kurs", "gcc main.c", nullptr, {}},
        {"C:\\kurs", "gcc ..\\..\\..\\etc\\passwd", nullptr, {}},
        {"C:\\kurs", "gcc -I..\\..\\x main.c", nullptr, {}},
        {"C:\\kurs", "gcc E:\\main.c", nullptr, {}},
        {"C:\\kurs", "gcc \\\\serwer\\main.c", nullptr, {}},
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

TEST(BridgeCall, OnlyOptionsThatChangeWhatTheCodeBecomesPass)
{
    struct Case {
        const char* options;  // between "gcc" and "main.c"
        std::vector<std::string> passed;  // empty: refused, and the refusal names `named`
        const char* named = nullptr;
    };
    const Case cases[] = {
        // Warnings, optimisation, debugging, the standard, code generation.
        {"-Wall -Wextra -W -Werror -Wno-unused -Wformat=2 -Werror=return-type -w -pedantic -pedantic-errors -ansi",
         {"-Wall", "-Wextra", "-W", "-Werror", "-Wno-unused", "-Wformat=2", "-Werror=return-type", "-w", "-pedantic",
          "-pedantic-errors", "-ansi"}},
        {"-O -O0 -O2 -Os -Og -Ofast -g -g3 -ggdb -gdwarf-4 -std=c11 -std=gnu++17",
         {"-O", "-O0", "-O2", "-Os", "-Og", "-Ofast", "-g", "-g3", "-ggdb", "-gdwarf-4", "-std=c11", "-std=gnu++17"}},
        {"-march=native -m32 -mwindows -municode -mno-sse2 -fPIC -fno-builtin -fstack-protector-strong "
         "-fdiagnostics-color=always -fmax-errors=3 -flto -falign-functions=32:16 -fdump-tree-all",
         {"-march=native", "-m32", "-mwindows", "-municode", "-mno-sse2", "-fPIC", "-fno-builtin",
          "-fstack-protector-strong", "-fdiagnostics-color=always", "-fmax-errors=3", "-flto", "-falign-functions=32:16",
          "-fdump-tree-all"}},
        {"-c -S -E -v -s -M -MM -MD -MMD -MP -dM -static -static-libgcc -shared -pthread -pipe -save-temps=obj "
         "-### --version -x c -xc",
         {"-c", "-S", "-E", "-v", "-s", "-M", "-MM", "-MD", "-MMD", "-MP", "-dM", "-static", "-static-libgcc", "-shared",
          "-pthread", "-pipe", "-save-temps=obj", "-###", "--version", "-x", "c", "-xc"}},
        // Macros keep their backslashes, joined or apart.
        {"-DA -DPATH=\"C:\\dane\\x\" -D B=1 -UNDEBUG -U C -DQ=\\\"q\\\"",
         {"-DA", "-DPATH=C:\\dane\\x", "-D", "B=1", "-UNDEBUG", "-U", "C", "-DQ=\"q\""}},
        // Libraries by name; paths mapped as -o's are, joined or apart.
        {"-lm -l gdi32 -LD:\\lib -L lib -ID:\\inc -I inc -isystem D:\\sys -iquote q -idirafter a -include h.h",
         {"-lm", "-l", "gdi32", "-L/media/kurs/lib", "-L", "lib", "-I/media/kurs/inc", "-I", "inc", "-isystem",
          "/media/kurs/sys", "-iquote", "q", "-idirafter", "a", "-include", "h.h"}},
        {"-o D:\\a.exe -oout --output=Z:\\tmp\\b --output c -MF D:\\m.d -MFx.d -MT cel -MQ $x",
         {"-o", "/media/kurs/a.exe", "-oout", "--output=/tmp/b", "--output", "c", "-MF", "/media/kurs/m.d", "-MFx.d",
          "-MT", "cel", "-MQ", "$x"}},
        {"-Wl,-s -Wl,--subsystem,windows -Wl,--subsystem=console,--gc-sections,-Map=D:\\out.map -Wl,-Map=o.map",
         {"-Wl,-s", "-Wl,--subsystem,windows", "-Wl,--subsystem=console,--gc-sections,-Map=/media/kurs/out.map",
          "-Wl,-Map=o.map"}},

        // Response files, wherever they stand: the compiler and the linker read them.
        {"@opcje", {}, "@opcje"},
        {"-o @opcje", {}, "-o @opcje"},
        {"-o@opcje", {}, "-o@opcje"},
        {"-I@opcje", {}, "-I@opcje"},
        {"-D @opcje", {}, "-D @opcje"},
        {"-D@opcje", {}, "-D@opcje"},
        // Programs or plugins of the caller's choosing.
        {"-wrapper sh,-c", {}, "-wrapper"},
        {"--prefix=C:\\x", {}, "--prefix=C:\\x"},
        {"--prefix C:\\x", {}, "--prefix"},
        {"-B\\tmp", {}, "-B\\tmp"},
        {"-specs=x", {}, "-specs=x"},
        {"--specs=x", {}, "--specs=x"},
        {"-fplugin=x.so", {}, "-fplugin=x.so"},
        {"-fplugin-arg-x-y=z", {}, "-fplugin-arg-x-y=z"},
        {"-fcompare-debug=-fplugin=x.so", {}, "-fcompare-debug=-fplugin=x.so"},
        {"-fcompare-debug", {}, "-fcompare-debug"},
        {"-fuse-ld=lld", {}, "-fuse-ld=lld"},
        {"-foffload=nvptx-none", {}, "-foffload=nvptx-none"},
        {"-Wl,-plugin,x.so", {}, "-Wl,-plugin,x.so"},
        {"-Wl,--subsystem,windows,-plugin,x.so", {}, "-Wl,--subsystem,windows,-plugin,x.so"},
        {"-Wl,@opcje", {}, "-Wl,@opcje"},
        {"-Wl,-Map=@opcje", {}, "-Wl,-Map=@opcje"},
        {"-Xlinker -plugin -Xlinker x.so", {}, "-Xlinker"},
        {"-Xassembler x", {}, "-Xassembler"},
        {"-Xpreprocessor x", {}, "-Xpreprocessor"},
        {"-Wa,-x", {}, "-Wa,-x"},
        {"-Wp,-fplugin=x.so", {}, "-Wp,-fplugin=x.so"},
        {"-iprefix C:\\x", {}, "-iprefix"},
        {"-iwithprefix x", {}, "-iwithprefix"},
        {"-isysroot x", {}, "-isysroot"},
        {"--sysroot=x", {}, "--sysroot=x"},
        {"--ld-path=x", {}, "--ld-path=x"},
        {"-T skrypt.ld", {}, "-T"},
        {"-dumpdir x", {}, "-dumpdir"},
        // Values that name a file the bridge would not map, or an option where a value belongs.
        {"-fprofile-generate=C:\\p", {}, "-fprofile-generate=C:\\p"},
        {"-fdump-tree-all=/etc/x", {}, "-fdump-tree-all=/etc/x"},
        {"-fdiagnostics-color=C:x", {}, "-fdiagnostics-color=C:x"},
        {"-l:..\\x.a", {}, "-l:..\\x.a"},
        {"-o -x", {}, "-o -x"},
        {"-I-", {}, "-I-"},
        {"-Wl,-Map=E:\\out.map", {}, "-Wl,-Map=E:\\out.map"},
        {"--outputx", {}, "--outputx"},
        {"--output=", {}, "--output="},
        // Anything else the bridge does not know.
        {"-", {}, "-"},
        {"--help=x", {}, "--help=x"},
        {"-print-prog-name=cc1", {}, "-print-prog-name=cc1"},
        {"-time=plik", {}, "-time=plik"},
        {"-Q", {}, "-Q"},
        {"-std=", {}, "-std="},
        {"-O/x", {}, "-O/x"},
        {"-f", {}, "-f"},
        {"-m", {}, "-m"},
    };
    for (const Case& c : cases) {
        const std::string line = std::string("gcc ") + c.options + " main.c";
        const Translation translation = TranslateRequest({"D:\\", line}, kDrives);
        if (c.passed.empty()) {
            EXPECT_FALSE(translation.call) << line;
            EXPECT_NE(translation.refusal.find(std::string("refused: ") + c.named + " ("), std::string::npos)
                << line << " -> " << translation.refusal;
            continue;
        }
        ASSERT_TRUE(translation.call) << line << ": " << translation.refusal;
        std::vector<std::string> passed = c.passed;
        passed.push_back("main.c");
        EXPECT_EQ(translation.call->arguments, passed) << line;
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
