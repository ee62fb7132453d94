#include "commandbar/command_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "output/command_line.h"

namespace {

std::string Shown(std::u16string_view text)
{
    std::string shown;
    for (char16_t c : text)
        shown += c < 0x80 ? static_cast<char>(c) : '?';
    return shown;
}

// Each directive with the program Compile deletes and the command Run hands to the interpreter.
// The names are those x86_64-w64-mingw32-gcc writes for the same arguments: ".exe" is added
// only when the name's last part has no dot, and without "-o" the program is a.exe.
TEST(ProgramName, WhatADirectiveBuildsIsDeletedAndRun)
{
    const std::u16string longName(251, u'x');
    struct Case {
        std::u16string directive;
        std::u16string deleted;  // empty: nothing is deleted or run
        std::u16string run;
        ProgramNameProblem problem;
    };
    const Case cases[] = {
        {u"gcc -o out_file main.c", u"out_file.exe", u"out_file.exe", ProgramNameProblem::None},
        {u"gcc -o prog.exe main.c", u"prog.exe", u"prog.exe", ProgramNameProblem::None},
        {u"gcc -o PROG.EXE main.c", u"PROG.EXE", u"PROG.EXE", ProgramNameProblem::None},
        {u"gcc -o prog.out main.c", u"prog.out", u"prog.out", ProgramNameProblem::None},
        {u"gcc -o a.b.x main.c", u"a.b.x", u"a.b.x", ProgramNameProblem::None},
        {u"gcc -o a.b.c main.c", u"", u"", ProgramNameProblem::Source},
        {u"gcc -oprog main.c", u"prog.exe", u"prog.exe", ProgramNameProblem::None},
        {u"-o prog main.c", u"prog.exe", u"prog.exe", ProgramNameProblem::None},
        {u"gcc main.c -o    prog", u"prog.exe", u"prog.exe", ProgramNameProblem::None},
        {u"gcc\t-o\tprog main.c", u"prog.exe", u"prog.exe", ProgramNameProblem::None},
        {u"gcc -Wall -fno-omit-frame-pointer -o x main.c", u"x.exe", u"x.exe", ProgramNameProblem::None},
        {u"gcc -Wno-overflow -o x main.c", u"x.exe", u"x.exe", ProgramNameProblem::None},
        {u"gcc -O2 -o x main.c", u"x.exe", u"x.exe", ProgramNameProblem::None},  // -O is not -o
        {u"gcc -o x -o y main.c", u"x.exe", u"x.exe", ProgramNameProblem::None},  // the first counts
        {u"gcc main.c", u"a.exe", u"a.exe", ProgramNameProblem::None},
        {u"gcc -o \"moj program\" main.c", u"moj program.exe", u"\"moj program.exe\"", ProgramNameProblem::None},
        {u"gcc -o\"moj program\" main.c", u"moj program.exe", u"\"moj program.exe\"", ProgramNameProblem::None},
        {u"gcc -o bin/prog main.c", u"bin/prog.exe", u"\"bin/prog.exe\"", ProgramNameProblem::None},
        {u"gcc -o C:\\kurs\\zad.1\\prog main.c", u"C:\\kurs\\zad.1\\prog.exe", u"C:\\kurs\\zad.1\\prog.exe",
         ProgramNameProblem::None},
        {u"gcc -o pętla main.c", u"pętla.exe", u"pętla.exe", ProgramNameProblem::None},
        {u"gcc \"-DX= -o y\" main.c", u"a.exe", u"a.exe", ProgramNameProblem::None},  // inside another argument
        {u"gcc main.c -o", u"", u"", ProgramNameProblem::Missing},
        {u"gcc main.c -o   ", u"", u"", ProgramNameProblem::Missing},
        {u"gcc -o * main.c", u"", u"", ProgramNameProblem::Unsafe},
        {u"gcc -o a?c main.c", u"", u"", ProgramNameProblem::Unsafe},
        {u"gcc -o x&calc main.c", u"", u"", ProgramNameProblem::Unsafe},
        {u"gcc -o x|y main.c", u"", u"", ProgramNameProblem::Unsafe},
        {u"gcc -o x<y main.c", u"", u"", ProgramNameProblem::Unsafe},
        {u"gcc -o x>y main.c", u"", u"", ProgramNameProblem::Unsafe},
        {u"gcc -o x^y main.c", u"", u"", ProgramNameProblem::Unsafe},
        {u"gcc -o %PATH% main.c", u"", u"", ProgramNameProblem::Unsafe},  // Run would expand it
        // A slip that would delete the program's own text: the name is a source's or an input's.
        {u"gcc -o main.c main.c", u"", u"", ProgramNameProblem::Source},
        {u"gcc -o MAIN.C main.c", u"", u"", ProgramNameProblem::Source},
        {u"gcc -o lib.h main.c", u"", u"", ProgramNameProblem::Source},
        {u"gcc -o x.Cpp main.c", u"", u"", ProgramNameProblem::Source},
        {u"gcc -o x.HPP main.c", u"", u"", ProgramNameProblem::Source},
        {u"gcc -omain.c main.c", u"", u"", ProgramNameProblem::Source},
        {u"gcc main.o -o main.o", u"", u"", ProgramNameProblem::Input},
        {u"gcc -o lib\\prog.o main.c .\\LIB/prog.O", u"", u"", ProgramNameProblem::Input},
        {u"gcc -o prog.obj prog.obj.c", u"prog.obj", u"prog.obj", ProgramNameProblem::None},
        {u"gcc -o prog main.cc", u"prog.exe", u"prog.exe", ProgramNameProblem::None},
        {u"gcc -o " + longName + u" main.c", longName + u".exe", longName + u".exe", ProgramNameProblem::None},
        {u"gcc -o " + longName + u"y main.c", u"", u"", ProgramNameProblem::TooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Shown(c.directive));
        const ProgramName program = ProgramNameOf(c.directive);
        EXPECT_EQ(program.problem, c.problem);
        if (c.problem != ProgramNameProblem::None) {
            EXPECT_FALSE(ProgramNameProblemLine(program).empty());
            continue;
        }
        EXPECT_EQ(program.name, c.deleted);
        EXPECT_EQ(RunCommandFor(program.name), c.run);
        EXPECT_EQ(InterpreterCommandLine(RunCommandFor(program.name)), u"cmd.exe /c " + c.run);
    }
}

// The sources a directive compiles, and the line that names them when the editor holds another.
TEST(DirectiveSources, TheFilesADirectiveCompiles)
{
    using Names = std::vector<std::u16string>;
    struct Case {
        std::u16string directive;
        Names sources;
    };
    const Case cases[] = {
        {u"gcc -o out_file main.c", {u"main.c"}},
        {u"gcc main.c util.C -o prog", {u"main.c", u"util.C"}},
        {u"g++ -o x kr\\WordCount.cpp b.cc c.cxx", {u"kr\\WordCount.cpp", u"b.cc", u"c.cxx"}},
        {u"gcc -o \"moj program.c\" \"moje zad.c\"", {u"moje zad.c"}},  // the value of -o is no source
        {u"gcc -I inc.c -include x.c -x c main.c", {u"main.c"}},
        {u"gcc -Iinc.c main.c", {u"main.c"}},
        {u"gcc @opts.c -Dx.c main.c", {u"main.c"}},
        {u"gcc lib.h main.o", {}},
        {u"make", {}},
        {u"main.c", {}},  // the first word is the command
        {u"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DirectiveSourceFiles(c.directive), c.sources) << Shown(c.directive);

    EXPECT_EQ(OtherFileLine(u"C:\\kurs\\kr\\WordCount.c", {u"main.c"}),
              u"Uwaga: w edytorze jest plik C:\\kurs\\kr\\WordCount.c, a dyrektywa kompiluje main.c.");
    EXPECT_EQ(OtherFileLine(u"x.c", {u"a.c", u"b.c"}), u"Uwaga: w edytorze jest plik x.c, a dyrektywa kompiluje a.c, b.c.");
}

TEST(CommandLine, ArgumentsAndTheInterpreterLine)
{
    using Arguments = std::vector<std::u16string>;
    EXPECT_EQ(DirectiveArguments(u"  gcc  -o \"moj program\" main.c\t-Wall "),
              (Arguments{u"gcc", u"-o", u"moj program", u"main.c", u"-Wall"}));
    EXPECT_EQ(DirectiveArguments(u"a\"b c\"d \"\""), (Arguments{u"ab cd", u""}));
    EXPECT_EQ(DirectiveArguments(u""), Arguments{});

    EXPECT_EQ(InterpreterCommandLine(u"gcc -o out_file main.c"), u"cmd.exe /c gcc -o out_file main.c");
    EXPECT_EQ(InterpreterCommandLine(std::u16string(599, u'g')).size(), 11u + 599u);
    EXPECT_EQ(InterpreterCommandLine(std::u16string(5000, u'g')).size(), kCommandLineRoom - 1);
}

}  // namespace

namespace {

// The file the editor opens at start: the source the directive compiles.
TEST(SourceFile, TheDirectivesSourceIsItsFirstCFileThatIsNoOptionValue)
{
    struct Case {
        std::u16string_view directive;
        std::optional<std::u16string> source;
    };
    const Case cases[] = {
        {u"gcc -o out_file main.c", u"main.c"},
        {u"gcc main.c -o prog", u"main.c"},
        {u"gcc -o x.c prog.c", u"prog.c"},            // the output's name is not the source
        {u"gcc -Wall -I inc.c -O2 zad1.C", u"zad1.C"},  // nor an option's value
        {u"gcc -Iinc -DX=1 \"moj program.c\"", u"moj program.c"},
        {u"gcc -o prog main.cpp", std::nullopt},
        {u"main.c", std::nullopt},  // the first word is the compiler
    };
    for (const Case& c : cases)
        EXPECT_EQ(SourceFileOf(c.directive), c.source) << Shown(c.directive);
}

}  // namespace
