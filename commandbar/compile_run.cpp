#include "commandbar/compile_run.h"

#include <new>
#include <string>
#include <vector>

#include "commandbar/command_text.h"
#include "editor/code_view.h"
#include "editor/editor_keys.h"
#include "output/command_line.h"
#include "output/console_run.h"
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

// Whether the directive compiles the editor's file; true when the editor holds none. Names are
// compared as full paths, relative ones taken from the start folder, which is current here.
bool DirectiveCompilesEditorFile(const std::vector<std::u16string>& sources)
{
    if (current_file[0] == L'\0' || sources.empty())
        return true;
    wchar_t editorPath[MAX_PATH] = {};
    if (!GetFullPathNameW(current_file, MAX_PATH, editorPath, nullptr))
        return true;
    for (const std::u16string& source : sources) {
        wchar_t sourcePath[MAX_PATH] = {};
        if (GetFullPathNameW(AsWide(source), MAX_PATH, sourcePath, nullptr) &&
            CompareStringOrdinal(editorPath, -1, sourcePath, -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

// Where the interpreter would look for the directive's program: the folder, then the PATH, with
// the extensions it tries.
bool FoundOnPath(const std::u16string& program)
{
    std::wstring path = L".";
    const DWORD length = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (length > 0) {
        std::wstring value(length, L'\0');
        value.resize(GetEnvironmentVariableW(L"PATH", value.data(), length));
        path += L";" + value;
    }
    for (const wchar_t* extension : {L".exe", L".com", L".bat", L".cmd"}) {
        wchar_t found[MAX_PATH];
        if (SearchPathW(path.c_str(), AsWide(program), extension, MAX_PATH, found, nullptr) > 0)
            return true;
    }
    return false;
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
        // The directive names what is built; a student who opened another file is told so.
        const std::vector<std::u16string> sources = DirectiveSourceFiles(ReadTextField(ustawienia.compileDirective));
        if (!DirectiveCompilesEditorFile(sources))
            AppendLine(OtherFileLine(AsUtf16(current_file), sources));
        // The directive builds the file on disk, which lacks what the editor has not saved.
        if (SendMessageW(hEdit, EM_GETMODIFY, 0, 0))
            AppendLine(UnsavedChangesLine());
        const std::u16string_view directive = ReadTextField(ustawienia.compileDirective);
        const ProgramName program = ProgramNameOf(directive);
        if (program.problem == ProgramNameProblem::None)
            DeleteOldProgram(program.name);
        else
            AppendLine(ProgramNameProblemLine(program));
        const std::vector<std::u16string> arguments = DirectiveArguments(directive);
        if (!arguments.empty() && !FoundOnPath(arguments.front()))
            AppendLine(CompilerNotFoundLine(arguments.front()));
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
        if (GetFileAttributesW(AsWide(program.name)) == INVALID_FILE_ATTRIBUTES) {
            SetOutputText(AsWideString(NoProgramLine(program.name)));
            return;
        }
        command = RunCommandFor(program.name);
    } catch (const std::bad_alloc&) {
        ReportMessage(hOutput, IDS_OUT_OF_MEMORY);
        return;
    }
    // Until the program ends, the label says that it runs rather than where the caret is.
    SetWindowTextW(hLabel, L"Program działa…");
    RunInConsole(AsWide(command));
    ShowCaretPlaceNow(hEdit);
}
