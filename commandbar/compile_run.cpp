#include "commandbar/compile_run.h"

#include <new>
#include <string>

#include "commandbar/command_text.h"
#include "editor/code_view.h"
#include "output/output_pane.h"
#include "output/run_command.h"
#include "resources/resource_ids.h"
#include "text/wide.h"
#include "win32/messages.h"
#include "win32/process_state.h"

namespace {

// A file dialog may have moved the current directory; commands always run where the editor
// was started. When that folder has gone, nothing runs anywhere else.
bool ReturnToStartDirectory()
{
    if (SetCurrentDirectoryW(currentPathA))
        return true;
    ReportMessage(hOutput, IDS_START_FOLDER_GONE, MessageDetail::Path(currentPathA));
    return false;
}

void AppendLine(const std::u16string& line)
{
    AppendOutputText(L"\r\n" + AsWideString(line));
}

// The program of the last compile goes first, so that a failed compile cannot leave it to be
// run as if it were new. No program yet is no failure.
void DeleteOldProgram(const std::u16string& name)
{
    if (DeleteFileW(AsWide(name)))
        return;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        AppendLine(NotDeletedLine(name, error));
}

}  // namespace

void CompileProgram(HWND)
{
    if (!ReturnToStartDirectory())
        return;
    SetOutputText(L"Kompilowanie");
    InvalidateRect(hOutput, nullptr, TRUE);
    UpdateWindow(hOutput);
    try {
        // The directive builds the file on disk, which lacks what the editor has not saved.
        if (SendMessageW(hEdit, EM_GETMODIFY, 0, 0))
            AppendLine(UnsavedChangesLine());
        const ProgramName program = ProgramNameOf(ReadTextField(ustawienia.compileDirective));
        if (program.problem == ProgramNameProblem::None)
            DeleteOldProgram(program.name);
        else
            AppendLine(ProgramNameProblemLine(program));
    } catch (const std::bad_alloc&) {
        ReportMessage(hOutput, IDS_OUT_OF_MEMORY);
        return;
    }
    RunCommandAndRedirect(AsWide(ustawienia.compileDirective), {}, FirstOutput::Follows);
    MarkCompilerMessages();
}

void RunProgram(HWND)
{
    if (!ReturnToStartDirectory())
        return;
    std::u16string command;
    try {
        const ProgramName program = ProgramNameOf(ReadTextField(ustawienia.compileDirective));
        if (program.problem != ProgramNameProblem::None) {
            SetOutputText(AsWideString(ProgramNameProblemLine(program)));
            return;
        }
        command = RunCommandFor(program.name);
    } catch (const std::bad_alloc&) {
        ReportMessage(hOutput, IDS_OUT_OF_MEMORY);
        return;
    }
    RunCommandAndRedirect(AsWide(command));
}
