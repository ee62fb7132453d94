// The whole editor under Wine, in-process with the real controls: each command against the
// edit control's own bare operation on the same text, measured alternately in one run.
// Prints every ratio and whether it is within its bound; exits 1 when one is not.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "bench/sample_source.h"
#include "editor/indent_commands.h"
#include "files/text_codec.h"
#include "files/text_file.h"
#include "output/run_command.h"
#include "search/search_replace_dialog.h"
#include "search/text_search.h"
#include "text/wide.h"
#include "win32/process_state.h"

namespace {

constexpr std::size_t kTextBytes = 1024 * 1024;

double NowMs()
{
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing {
    double operation;
    double baseline;
};

// Runs `prepare` untimed before each timed step; the operation and its baseline take turns.
Timing Alternate(int rounds, const std::function<void()>& prepare, const std::function<void()>& operation,
                 const std::function<void()>& baseline)
{
    std::vector<double> operations;
    std::vector<double> baselines;
    for (int round = 0; round < rounds; ++round) {
        for (int which = 0; which < 2; ++which) {
            prepare();
            Pump();
            const double start = NowMs();
            (which == round % 2 ? operation : baseline)();
            const double elapsed = NowMs() - start;
            (which == round % 2 ? operations : baselines).push_back(elapsed);
        }
    }
    return {Median(operations), Median(baselines)};
}

bool allWithin = true;

void Report(const char* operation, const char* against, Timing timing, double bound)
{
    const double ratio = timing.operation / timing.baseline;
    const bool within = ratio <= bound;
    allWithin = allWithin && within;
    std::printf("%-34s %-34s %9.1f %9.1f %7.2f %6.1f  %s\n", operation, against, timing.operation, timing.baseline,
                ratio, bound, within ? "within" : "OVER");
    std::fflush(stdout);
}

std::wstring Folder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

void SetEditorText(const std::wstring& text)
{
    SetWindowTextW(hEdit, text.c_str());
}

std::wstring EditorText()
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hEdit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hEdit, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring WriteSampleFile(const std::wstring& text)
{
    const std::string bytes = EncodeUtf8(AsUtf16View(text));
    const std::wstring path = Folder() + L"\\bench_sample.c";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

std::size_t Count(const std::wstring& text, const std::wstring& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

void BenchOpen(const std::wstring& path, const std::wstring& text)
{
    const Timing timing = Alternate(
        5, [] { SetEditorText(L""); }, [&] { LoadTextFileToEdit(hEdit, mHwnd, path.c_str()); },
        [&] { SetEditorText(text); });
    Report("open a 1 MiB UTF-8 file", "bare WM_SETTEXT of its text", timing, 1.3);
}

void BenchReplace(const std::wstring& text)
{
    const std::wstring from = L"suma";
    const std::wstring to = L"wynik";
    const std::u16string replaced = *ReplaceAllOccurrences(AsUtf16View(text), AsUtf16View(from), AsUtf16View(to), SIZE_MAX);
    std::printf("  (%zu occurrences of \"suma\")\n", Count(text, from));
    const Timing timing = Alternate(
        5, [&] { SetEditorText(text); }, [&] { replaceExactTextInEdit(hEdit, from.c_str(), to.c_str()); },
        [&] { SetWindowTextW(hEdit, AsWide(replaced)); });
    Report("Replace from the dialog", "bare WM_SETTEXT of the result", timing, 1.3);
}

void BenchIndent(const std::wstring& text)
{
    std::wstring indented;
    {
        SetEditorText(text);
        SendMessageW(hEdit, EM_SETSEL, 0, -1);
        addLineBreaks(hEdit, 4);
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        indented = EditorText().substr(start, end - start);
    }
    const Timing timing = Alternate(
        5,
        [&] {
            SetEditorText(text);
            SendMessageW(hEdit, EM_SETSEL, 0, -1);
        },
        [] { addLineBreaks(hEdit, 4); },
        [&] { SendMessageW(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(indented.c_str())); });
    Report("\"--->\" on every line", "bare EM_REPLACESEL of the result", timing, 1.3);
}

void SetShift(bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Enter in the middle of the text with the editor hidden, against typing one character there.
void BenchEnter(const std::wstring& text, bool shift, const char* name)
{
    ShowWindow(hEdit, SW_HIDE);
    SetEditorText(text);
    // The middle of a line that is indented, so the new line gets spaces.
    const std::size_t middle = text.find(L"\r\n        suma", text.size() / 2) + 10;
    const auto caret = static_cast<WPARAM>(middle);
    SetShift(shift);
    std::vector<double> enters;
    std::vector<double> characters;
    for (int round = 0; round < 40; ++round) {
        for (int which = 0; which < 2; ++which) {
            SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
            const double start = NowMs();
            SendMessageW(hEdit, WM_CHAR, which == 0 ? L'\r' : L'x', 1);
            const double elapsed = NowMs() - start;
            (which == 0 ? enters : characters).push_back(elapsed);
            DWORD after = 0;
            SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&after), 0);
            SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(after));
            SendMessageW(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
    }
    SetShift(false);
    ShowWindow(hEdit, SW_SHOW);
    Report(name, "typing one character there, hidden", {Median(enters), Median(characters)}, 2.0);
}

void BenchRun()
{
    SetCurrentDirectoryW(Folder().c_str());
    const Timing timing = Alternate(
        3, [] {}, [] { RunCommandAndRedirect(L"child_program.exe flood 32"); },
        [] { RunCommandAndRedirect(L"child_program.exe flood 32 > NUL"); });
    Report("Run printing 32 MiB in 4 KiB writes", "the same program writing to NUL", timing, 2.0);
}

double StartToIdle(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const double start = NowMs();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder().c_str(), &startup, &child))
        return -1;
    WaitForInputIdle(child.hProcess, 30000);
    const double elapsed = NowMs() - start;
    TerminateProcess(child.hProcess, 0);
    WaitForSingleObject(child.hProcess, 10000);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return elapsed;
}

void BenchStart()
{
    const std::wstring editor = L"\"" + Folder() + L"\\skoczek.exe\"";
    std::vector<double> editors;
    std::vector<double> notepads;
    StartToIdle(editor);  // the first start of each also loads what later starts find ready
    StartToIdle(L"notepad.exe");
    // Single starts vary a good deal with whatever else the machine is doing, so the medians are
    // taken over many.
    for (int round = 0; round < 15; ++round) {
        editors.push_back(StartToIdle(editor));
        notepads.push_back(StartToIdle(L"notepad.exe"));
    }
    Report("start to idle", "notepad.exe, started alternately", {Median(editors), Median(notepads)}, 1.5);
}

// In a process of its own: the working set of the empty editor, then the peak after opening.
int MeasureOpenMemory(const wchar_t* path)
{
    if (!StartApplication(GetModuleHandleW(nullptr)))
        return 2;
    Pump();
    PROCESS_MEMORY_COUNTERS empty{};
    GetProcessMemoryInfo(GetCurrentProcess(), &empty, sizeof empty);
    LoadTextFileToEdit(hEdit, mHwnd, path);
    Pump();
    PROCESS_MEMORY_COUNTERS opened{};
    GetProcessMemoryInfo(GetCurrentProcess(), &opened, sizeof opened);
    const std::size_t textBytes = static_cast<std::size_t>(GetWindowTextLengthW(hEdit)) * 2;
    const std::size_t limit = 4 * textBytes + empty.WorkingSetSize;
    std::printf("%-34s %-34s %8.1f MiB, empty %.1f MiB, limit %.1f MiB  %s\n", "peak working set after open",
                "4 x UTF-16 text + empty editor", opened.PeakWorkingSetSize / 1048576.0,
                empty.WorkingSetSize / 1048576.0, limit / 1048576.0,
                opened.PeakWorkingSetSize <= limit ? "within" : "OVER");
    return opened.PeakWorkingSetSize <= limit ? 0 : 1;
}

int MeasureMemoryInChild(const std::wstring& path)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --open-memory \"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
        return 2;
    WaitForSingleObject(child.hProcess, 60000);
    DWORD code = 2;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return static_cast<int>(code);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"--open-memory")
        return MeasureOpenMemory(argv[2]);

    // An argument picks one measurement: memory, open, replace, indent, enter, run or start.
    const std::wstring only = argc == 2 ? argv[1] : L"";
    const auto wanted = [&](const wchar_t* name) { return only.empty() || only == name; };

    const std::wstring text = AsWideString(SampleCSource(kTextBytes));
    const std::wstring path = WriteSampleFile(text);
    std::printf("text: %zu characters, %zu lines\n", text.size(), Count(text, L"\r\n"));
    std::printf("%-34s %-34s %9s %9s %7s %6s\n", "operation", "against", "ms", "base ms", "ratio", "bound");
    std::fflush(stdout);
    if (wanted(L"memory") && MeasureMemoryInChild(path) != 0)
        allWithin = false;

    // Measured before this program has windows of its own, as when the editor is started from a
    // shell: once they held megabytes of text, the starts measured after them were slower, by
    // amounts that varied from run to run.
    if (wanted(L"start"))
        BenchStart();

    if (!StartApplication(GetModuleHandleW(nullptr)))
        return 2;
    Pump();
    if (wanted(L"open"))
        BenchOpen(path, text);
    if (wanted(L"replace"))
        BenchReplace(text);
    if (wanted(L"indent"))
        BenchIndent(text);
    if (wanted(L"enter")) {
        BenchEnter(text, false, "Enter in the middle, hidden");
        BenchEnter(text, true, "Shift+Enter in the middle, hidden");
    }
    if (wanted(L"run"))
        BenchRun();
    DestroyWindow(mHwnd);
    DeleteFileW(path.c_str());
    return allWithin ? 0 : 1;
}
