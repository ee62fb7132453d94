#pragma once
// What Compile and Run read from the compile directive, and the pane lines that report on it.
// Portable.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The longest program name Compile deletes and Run starts; a longer one is refused, never cut.
constexpr std::size_t kLongestProgramName = 255;

// The value of `option` where it stands as an argument of its own: the next argument, or what
// is attached to it (`-oprog`). An empty string when the option is last; nullopt when it is
// absent. Only the first occurrence counts.
std::optional<std::u16string> get_value_after_option(std::u16string_view text, std::u16string_view option);

enum class ProgramNameProblem {
    None,
    Missing,   // "-o" with nothing after it
    Unsafe,    // wildcards or characters the interpreter reads as commands
    TooLong,   // more than kLongestProgramName characters
    Source,    // a C source's or header's name: deleting it would lose the program's text
    Input,     // the directive also names it as one of its inputs
};

struct ProgramName {
    std::u16string name;  // the file the directive builds, as gcc names it
    ProgramNameProblem problem = ProgramNameProblem::None;
};

// The program a directive builds, named as gcc names it: the value after "-o", with ".exe"
// added when its last part has no dot; "a.exe" without "-o".
ProgramName ProgramNameOf(std::u16string_view directive);

// What Run hands to the interpreter: the name, quoted when it holds a blank or a slash.
std::u16string RunCommandFor(std::u16string_view programName);

// One line for the pane on why a program is neither deleted nor run.
std::u16string ProgramNameProblemLine(const ProgramName& program);

// One line for the pane when the old program could not be deleted before compiling.
std::u16string NotDeletedLine(std::u16string_view programName, std::uint32_t errorCode);

// The line under "Kompilowanie" when the editor's text differs from the file that is compiled.
std::u16string UnsavedChangesLine();

// The C and C++ sources a directive compiles, as it names them: its arguments with a source's
// extension that are neither options nor an option's value.
std::vector<std::u16string> DirectiveSourceFiles(std::u16string_view directive);

// The line under "Kompilowanie" when the editor holds a file that the directive does not compile.
std::u16string OtherFileLine(std::u16string_view editorFile, const std::vector<std::u16string>& compiled);
