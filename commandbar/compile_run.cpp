#include "commandbar/compile_run.h"

#include <new>
#include <string>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/output_pane.h"
#include "app/wide.h"
#include "commandbar/command_text.h"
#include "commandbar/compiler_message.h"
#include "commandbar/run_command.h"
#include "settings/settings_state.h"

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

std::wstring WindowTextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
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
        ShowMessage(hOutput, L"Memory allocation failed.", L"Error", MB_ICONERROR);
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

bool ShowSourceOfCompilerMessage(HWND pane)
{
    try {
        DWORD selectionStart = 0;
        SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), 0);
        const std::wstring output = WindowTextOf(pane);
        const std::optional<SourcePosition> position =
            ParseCompilerMessage(LineAround(AsUtf16View(output), selectionStart));
        if (!position)
            return false;

        const std::wstring source = WindowTextOf(hEdit);
        const auto caret = static_cast<WPARAM>(OffsetOfPosition(AsUtf16View(source), *position));
        SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
        SendMessageW(hEdit, EM_SCROLLCARET, 0, 0);
        SetFocus(hEdit);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
