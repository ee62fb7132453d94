#include "commandbar/compile_run.h"

#include <new>
#include <string>

#include "commandbar/command_text.h"
#include "output/output_pane.h"
#include "output/run_command.h"
#include "resources/resource_ids.h"
#include "text/wide.h"
#include "win32/messages.h"
#include "win32/process_state.h"

namespace {

constexpr std::size_t kCompileNameCapacity = 256;
constexpr std::size_t kRunNameCapacity = 156;

std::u16string_view CompileDirective()
{
    const char16_t* directive = ustawienia.compileDirective;
    return {directive, std::char_traits<char16_t>::length(directive)};
}

// The program the directive builds, with ".exe" behind it.
void ReadOutputName(char16_t (&name)[kOutputNameRoom], std::size_t capacity)
{
    get_value_after_option(CompileDirective(), u"-o", name, capacity);
}

// A file dialog may have moved the current directory; commands always run where the
// editor was started.
void ReturnToStartDirectory()
{
    SetCurrentDirectoryW(currentPathA);
}

}  // namespace

void CompileProgram(HWND)
{
    SetOutputText(L"Kompilowanie");
    InvalidateRect(hOutput, nullptr, TRUE);
    UpdateWindow(hOutput);

    char16_t outputName[kOutputNameRoom] = {};
    ReadOutputName(outputName, kCompileNameCapacity);
    try {
        const std::u16string deleteCommand = DeleteCommand(outputName);
        ReturnToStartDirectory();
        // After Escape the user wants the compile stopped, not its next step.
        if (RunCommandAndRedirect(AsWide(deleteCommand)) == CommandOutcome::Stopped)
            return;
    } catch (const std::bad_alloc&) {
        ReportMessage(hOutput, IDS_OUT_OF_MEMORY);
        return;
    }
    RunCommandAndRedirect(AsWide(ustawienia.compileDirective));
}

void RunProgram(HWND)
{
    ReturnToStartDirectory();
    char16_t outputName[kOutputNameRoom] = {};
    ReadOutputName(outputName, kRunNameCapacity);
    RunCommandAndRedirect(AsWide(outputName));
}
