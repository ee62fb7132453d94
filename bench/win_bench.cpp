// The whole editor under Wine, in-process with the real controls: each command against the
// edit control's own bare operation on the same text, measured alternately in one run.
// Prints every ratio and whether it is within its bound; exits 1 when one is not.
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "bench/sample_source.h"
#include "editor/code_view.h"
#include "editor/editor_history.h"
#include "editor/indent_commands.h"
#include "files/text_codec.h"
#include "files/text_file.h"
#include "output/console_run.h"
#include "output/pseudo_console.h"
#include "output/run_command.h"
#include "resources/resource_ids.h"
#include "search/search_replace_dialog.h"
#include "settings/settings_dialog.h"
#include "search/text_search.h"
#include "text/wide.h"
#include "win32/dialogs.h"
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

std::wstring EditorTextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring EditorText()
{
    return EditorTextOf(hEdit);
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

// The same operation with the history recording and without it, in turns: `prepare` runs
// untimed with the history already on or off.
Timing WithAndWithoutHistory(int rounds, const std::function<void()>& prepare, const std::function<void()>& operation)
{
    std::vector<double> with;
    std::vector<double> without;
    for (int round = 0; round < rounds; ++round) {
        for (int which = 0; which < 2; ++which) {
            const bool on = which == round % 2;
            SetEditorHistoryEnabled(on);
            prepare();
            Pump();
            const double start = NowMs();
            operation();
            (on ? with : without).push_back(NowMs() - start);
        }
    }
    SetEditorHistoryEnabled(true);
    return {Median(with), Median(without)};
}

// Twenty characters typed in the middle of the text, the editor hidden as in BenchEnter, and
// taken out again untimed with the history off.
void BenchTypingWithHistory(const std::wstring& text)
{
    ShowWindow(hEdit, SW_HIDE);
    SetEditorText(text);
    const auto caret = static_cast<WPARAM>(text.size() / 2);
    const std::wstring typed = L"suma = suma + wynik;";
    std::vector<double> with;
    std::vector<double> without;
    for (int round = 0; round < 40; ++round) {
        for (int which = 0; which < 2; ++which) {
            const bool on = which == round % 2;
            SetEditorHistoryEnabled(on);
            SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
            const double start = NowMs();
            for (wchar_t c : typed)
                SendMessageW(hEdit, WM_CHAR, c, 1);
            (on ? with : without).push_back(NowMs() - start);
            SetEditorHistoryEnabled(false);
            SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(caret + typed.size()));
            SendMessageW(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
    }
    SetEditorHistoryEnabled(true);
    ShowWindow(hEdit, SW_SHOW);
    Report("typing 20 characters, hidden", "the same without the history", {Median(with), Median(without)}, 1.1);
}

void BenchEnterWithHistory(const std::wstring& text)
{
    ShowWindow(hEdit, SW_HIDE);
    SetEditorText(text);
    const std::size_t middle = text.find(L"\r\n        suma", text.size() / 2) + 10;
    const auto caret = static_cast<WPARAM>(middle);
    std::vector<double> with;
    std::vector<double> without;
    for (int round = 0; round < 40; ++round) {
        for (int which = 0; which < 2; ++which) {
            const bool on = which == round % 2;
            SetEditorHistoryEnabled(on);
            SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
            const double start = NowMs();
            SendMessageW(hEdit, WM_CHAR, L'\r', 1);
            (on ? with : without).push_back(NowMs() - start);
            SetEditorHistoryEnabled(false);
            DWORD after = 0;
            SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&after), 0);
            SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(after));
            SendMessageW(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
    }
    SetEditorHistoryEnabled(true);
    ShowWindow(hEdit, SW_SHOW);
    Report("Enter in the middle, hidden", "the same without the history", {Median(with), Median(without)}, 1.1);
}

void BenchReplaceWithHistory(const std::wstring& text)
{
    const Timing timing = WithAndWithoutHistory(
        5, [&] { SetEditorText(text); }, [] { replaceExactTextInEdit(hEdit, L"suma", L"wynik"); });
    Report("Replace from the dialog", "the same without the history", timing, 1.1);
}

// Ctrl+Z after a Replace, against the Replace itself.
void BenchUndoReplace(const std::wstring& text)
{
    std::vector<double> undos;
    std::vector<double> replaces;
    for (int round = 0; round < 5; ++round) {
        SetEditorText(text);
        Pump();
        double start = NowMs();
        replaceExactTextInEdit(hEdit, L"suma", L"wynik");
        replaces.push_back(NowMs() - start);
        Pump();
        start = NowMs();
        SendMessageW(hEdit, WM_CHAR, 0x1A, 1);
        undos.push_back(NowMs() - start);
        if (EditorText() != text)
            std::printf("  undo of Replace did not give the text back\n");
    }
    Report("Ctrl+Z of that Replace", "the Replace itself", {Median(undos), Median(replaces)}, 1.5);
}

// In a process of its own: what 1,000 steps of typing, each a word followed by a caret move,
// add to the private bytes, with the history on or off. Exits with the growth in KiB.
int MeasureTypingMemory(bool withHistory)
{
    if (!StartApplication(GetModuleHandleW(nullptr)))
        return -1;
    ShowWindow(hEdit, SW_HIDE);
    SetEditorText(AsWideString(SampleCSource(kTextBytes / 2)));
    SetEditorHistoryEnabled(withHistory);
    Pump();
    PROCESS_MEMORY_COUNTERS_EX before{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&before), sizeof before);
    for (int step = 0; step < 1000; ++step) {
        const auto at = static_cast<WPARAM>(step * 37);
        SendMessageW(hEdit, EM_SETSEL, at, static_cast<LPARAM>(at));
        for (wchar_t c : std::wstring(L"wynik_12"))
            SendMessageW(hEdit, WM_CHAR, c, 1);
    }
    Pump();
    PROCESS_MEMORY_COUNTERS_EX after{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&after), sizeof after);
    if (withHistory && EditorHistory().StepCount() != 1000)
        std::printf("  the session made %zu steps, not 1000\n", EditorHistory().StepCount());
    // Wine reports the private bytes as the commit charge.
    const auto committed = [](const PROCESS_MEMORY_COUNTERS_EX& counters) {
        return static_cast<long long>(counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage);
    };
    const long long grown = committed(after) - committed(before);
    std::printf("  %s the history: %lld -> %lld KiB committed, working set %zu -> %zu KiB\n", withHistory ? "with" : "without",
                committed(before) / 1024, committed(after) / 1024, before.WorkingSetSize / 1024, after.WorkingSetSize / 1024);
    std::fflush(stdout);
    return static_cast<int>(std::max<long long>(grown / 1024, 0));
}

int TypingMemoryInChild(bool withHistory)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --typing-memory " + (withHistory ? L"1" : L"0");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
        return -1;
    WaitForSingleObject(child.hProcess, 120000);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return static_cast<int>(code);
}

// The memory the history of a 1,000-step typing session takes: the growth with it less the
// growth without, against twice the text its steps hold and 1 MiB.
void BenchHistoryMemory()
{
    std::vector<int> with;
    std::vector<int> without;
    for (int round = 0; round < 3; ++round) {
        with.push_back(TypingMemoryInChild(true));
        without.push_back(TypingMemoryInChild(false));
    }
    std::sort(with.begin(), with.end());
    std::sort(without.begin(), without.end());
    const double heldKiB = 1000.0 * 8 * sizeof(wchar_t) / 1024.0;
    const double addedKiB = with[1] - without[1];
    const double limitKiB = 2 * heldKiB + 1024;
    const bool within = with[1] >= 0 && without[1] >= 0 && addedKiB <= limitKiB;
    allWithin = allWithin && within;
    std::printf("%-34s %-34s %8.0f KiB (with %d, without %d), limit %.0f KiB  %s\n", "history of 1,000 typed steps",
                "2 x the text held + 1 MiB", addedKiB, with[1], without[1], limitKiB, within ? "within" : "OVER");
    std::fflush(stdout);
}

// The shown editor with the text scrolled to its middle: a whole repaint, and typing one
// character there with its repaint, each with the colours against the same without them.
void BenchColours(const std::wstring& text)
{
    SetEditorText(text);
    const auto middle = static_cast<WPARAM>(text.find(L"\r\n        suma", text.size() / 2) + 10);
    SendMessageW(hEdit, EM_SETSEL, middle, static_cast<LPARAM>(middle));
    SendMessageW(hEdit, EM_SCROLLCARET, 0, 0);
    SetFocus(hEdit);
    Pump();
    const auto withColours = [](bool shown) {
        return [shown] { ShowCodeColours(shown ? CodeColours::Scheme : CodeColours::Off); };
    };
    std::vector<double> coloured;
    std::vector<double> plain;
    for (int round = 0; round < 60; ++round) {
        for (int which = 0; which < 2; ++which) {
            const bool shown = which == round % 2;
            withColours(shown)();
            ValidateRect(hEdit, nullptr);
            const double start = NowMs();
            RedrawWindow(hEdit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            (shown ? coloured : plain).push_back(NowMs() - start);
        }
    }
    Report("repaint in the middle, colours", "the same repaint without them", {Median(coloured), Median(plain)}, 1.5);

    coloured.clear();
    plain.clear();
    for (int round = 0; round < 60; ++round) {
        for (int which = 0; which < 2; ++which) {
            const bool shown = which == round % 2;
            withColours(shown)();
            SendMessageW(hEdit, EM_SETSEL, middle, static_cast<LPARAM>(middle));
            UpdateWindow(hEdit);
            Pump();
            const double start = NowMs();
            SendMessageW(hEdit, WM_CHAR, L'x', 1);
            UpdateWindow(hEdit);
            (shown ? coloured : plain).push_back(NowMs() - start);
            SendMessageW(hEdit, EM_SETSEL, middle, static_cast<LPARAM>(middle + 1));
            SendMessageW(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
    }
    ShowCodeColours(CodeColours::Scheme);
    Report("typing in the middle, colours", "the same typing without them", {Median(coloured), Median(plain)}, 1.2);
}

// What no design of the editor can avoid: the program's writes into a pipe that a bare reader
// drains in 64 KiB blocks, and one WM_SETTEXT of the text the pane ends with into a fresh edit
// control of the pane's styles.
void BareRunAndShow(const std::wstring& command, const std::wstring& shown)
{
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 1024 * 1024))
        return;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION child{};
    std::wstring line = L"cmd.exe /c " + command;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
        CloseHandle(writeEnd);
        writeEnd = nullptr;
        std::vector<char> block(64 * 1024);
        DWORD read = 0;
        while (ReadFile(readEnd, block.data(), static_cast<DWORD>(block.size()), &read, nullptr) && read > 0) {
        }
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    if (writeEnd)
        CloseHandle(writeEnd);
    CloseHandle(readEnd);

    RECT place;
    GetWindowRect(hOutput, &place);
    MapWindowPoints(nullptr, mHwnd, reinterpret_cast<POINT*>(&place), 2);
    HWND pane = CreateWindowExW(0, L"EDIT", L"", static_cast<DWORD>(GetWindowLongPtrW(hOutput, GWL_STYLE)), place.left,
                                place.top, place.right - place.left, place.bottom - place.top, mHwnd, nullptr, mhI,
                                nullptr);
    SendMessageW(pane, WM_SETFONT, SendMessageW(hOutput, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(pane, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(pane, shown.c_str());
    UpdateWindow(pane);
    DestroyWindow(pane);
}

void BenchRun()
{
    SetCurrentDirectoryW(Folder().c_str());
    const wchar_t command[] = L"child_program.exe flood 32";
    RunCommandAndRedirect(command);
    const std::wstring shown = EditorTextOf(hOutput);
    const Timing timing = Alternate(
        3, [] {}, [&] { RunCommandAndRedirect(command); }, [&] { BareRunAndShow(command, shown); });
    Report("Run printing 32 MiB in 4 KiB writes", "bare pipe reader + one WM_SETTEXT", timing, 1.3);
}

// What no design of Run in a console can avoid: the same program in a pseudoconsole of the
// pane's size, started through the launcher, its screen drained by a plain reader, and one
// WM_SETTEXT of the text the pane ends with.
void BareConsoleRunAndShow(const std::wstring& command, const std::wstring& shown, int columns)
{
    HANDLE consoleInput = nullptr;
    HANDLE inputWriteEnd = nullptr;
    HANDLE outputReadEnd = nullptr;
    HANDLE consoleOutput = nullptr;
    if (!CreatePipe(&consoleInput, &inputWriteEnd, nullptr, 0) || !CreatePipe(&outputReadEnd, &consoleOutput, nullptr, 0))
        return;
    {
        PseudoConsole console;
        const bool created = console.Create(columns, 25, consoleInput, consoleOutput);
        CloseHandle(consoleInput);
        CloseHandle(consoleOutput);
        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
        HANDLE reader = CreateThread(
            nullptr, 0,
            [](void* readEnd) -> DWORD {
                std::vector<char> block(64 * 1024);
                DWORD read = 0;
                while (ReadFile(readEnd, block.data(), static_cast<DWORD>(block.size()), &read, nullptr) && read > 0) {
                }
                return 0;
            },
            outputReadEnd, 0, nullptr);
        std::wstring line = L"\"" + Folder() + L"\\" + kConsoleLauncherName + L"\" cmd.exe /c " + command;
        PROCESS_INFORMATION child{};
        if (created && console.Attach(startup) &&
            CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                           &startup.StartupInfo, &child)) {
            WaitForSingleObject(child.hProcess, INFINITE);
            CloseHandle(child.hThread);
            CloseHandle(child.hProcess);
        }
        console.Close();
        WaitForSingleObject(reader, INFINITE);
        CloseHandle(reader);
    }
    CloseHandle(inputWriteEnd);
    CloseHandle(outputReadEnd);

    RECT place;
    GetWindowRect(hOutput, &place);
    MapWindowPoints(nullptr, mHwnd, reinterpret_cast<POINT*>(&place), 2);
    HWND pane = CreateWindowExW(0, L"EDIT", L"", static_cast<DWORD>(GetWindowLongPtrW(hOutput, GWL_STYLE)), place.left,
                                place.top, place.right - place.left, place.bottom - place.top, mHwnd, nullptr, mhI,
                                nullptr);
    SendMessageW(pane, WM_SETFONT, SendMessageW(hOutput, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(pane, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(pane, shown.c_str());
    UpdateWindow(pane);
    DestroyWindow(pane);
}

// Under Wine a console takes its writes one byte at a time, so the program is short.
void BenchConsoleRun()
{
    SetCurrentDirectoryW(Folder().c_str());
    const wchar_t command[] = L"child_program.exe lines 2000";
    RunInConsole(command);
    const std::wstring shown = EditorTextOf(hOutput);
    // The pane's columns, as Run sized its console.
    RECT text{};
    SendMessageW(hOutput, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    HDC dc = GetDC(hOutput);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hOutput, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(hOutput, dc);
    const int columns = std::clamp(static_cast<int>(text.right - text.left) / std::max<int>(metrics.tmAveCharWidth, 1), 20, 500);
    const Timing timing = Alternate(
        3, [] {}, [&] { RunInConsole(command); }, [&] { BareConsoleRunAndShow(command, shown, columns); });
    Report("Run in a console, 2,000 printf lines", "bare pseudoconsole + plain reader", timing, 1.3);
}

struct ProcessObjects {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
};

// Wine answers the system's counts with 0, so where they give nothing the objects are counted
// one by one: kernel handles by asking after every handle value, GDI objects from the process's
// GDI handle table (the PEB points to it), and USER objects as the process's windows.
DWORD CountKernelHandles()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0)
        return count;
    for (ULONG_PTR value = 4; value < 0x40000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

DWORD CountGdiObjects()
{
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return count;
    struct TableEntry {
        unsigned long long object;
        unsigned int owner;
        unsigned short unique;
        unsigned char type;
        unsigned char flags;
        unsigned long long user;
    };
    static_assert(sizeof(TableEntry) == 24, "the 64-bit GDI handle table entry");
    constexpr std::size_t kTableOffsetInPeb = 0xF8;
    constexpr int kTableEntries = 0x10000;
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return 0;
    const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
    const auto* table = *reinterpret_cast<const TableEntry* const*>(peb + kTableOffsetInPeb);
    DWORD count = 0;
    for (int i = 0; table && i < kTableEntries; ++i)
        count += table[i].type != 0 ? 1 : 0;
    return count;
}

BOOL CALLBACK CountChildWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindows(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(count);
        EnumChildWindows(window, CountChildWindow, count);
    }
    return TRUE;
}

DWORD CountUserObjects()
{
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
        return count;
    DWORD count = 0;
    EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&count));
    return count;
}

ProcessObjects CountProcessObjects()
{
    return {CountKernelHandles(), CountGdiObjects(), CountUserObjects()};
}

// Closes whichever dialog of this thread is open, from inside its own message loop.
void CALLBACK CloseOpenDialog(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32770" && IsWindowVisible(window))
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        },
        0);
}

void OpenAndClose(const std::function<void()>& open, int times)
{
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, CloseOpenDialog);
    for (int i = 0; i < times; ++i)
        open();
    KillTimer(nullptr, timer);
    Pump();
}

// Hundreds of commands and dialogs, as a long session brings them: every kernel handle, GDI
// object and window object they take must be given back.
void BenchSoak()
{
    const std::wstring folder = Folder() + L"\\soak";
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW((Folder() + L"\\child_program.exe").c_str(), (folder + L"\\gcc.exe").c_str(), FALSE);
    lstrcpynW(currentPathA, folder.c_str(), kCurrentPathCapacity);
    lstrcpynW(reinterpret_cast<wchar_t*>(ustawienia.compileDirective), L"gcc -o out_file main.c", kDirectiveUnits);
    const auto press = [](int id) { SendMessageW(hTopBar, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
    // One round first, so that what is made once and kept (loaded DLLs, caches) is not counted.
    press(IDC_COMPILE);
    press(IDC_RUN);
    OpenAndClose(OpenSettingsDialog, 1);
    OpenAndClose(OpenSearchReplaceDialog, 1);
    wchar_t path[MAX_PATH] = {};
    const auto fileDialog = [&path](bool save) {
        return [&path, save] {
            path[0] = L'\0';
            OPENFILENAMEW record = FileDialogRecord({.owner = mHwnd, .buffer = path, .capacity = MAX_PATH});
            save ? ShowSaveFileDialog(&record) : ShowOpenFileDialog(&record);
        };
    };
    OpenAndClose(fileDialog(false), 1);
    OpenAndClose(fileDialog(true), 1);

    const ProcessObjects before = CountProcessObjects();
    const double start = NowMs();
    for (int round = 0; round < 300; ++round) {
        press(IDC_COMPILE);
        press(IDC_RUN);
    }
    OpenAndClose(OpenSettingsDialog, 200);
    OpenAndClose(OpenSearchReplaceDialog, 200);
    OpenAndClose(fileDialog(false), 200);
    OpenAndClose(fileDialog(true), 200);
    const ProcessObjects after = CountProcessObjects();

    const auto growth = [](DWORD from, DWORD to) { return static_cast<long>(to) - static_cast<long>(from); };
    const long most = std::max({growth(before.handles, after.handles), growth(before.gdi, after.gdi),
                                growth(before.user, after.user)});
    const bool within = most <= 8;
    allWithin = allWithin && within;
    std::printf("soak: 300 x Compile+Run, 200 x each dialog   %.0f s\n", (NowMs() - start) / 1000.0);
    std::printf("  kernel handles %lu -> %lu, GDI objects %lu -> %lu, USER objects %lu -> %lu; growth at most 8: %s\n",
                before.handles, after.handles, before.gdi, after.gdi, before.user, after.user,
                within ? "within" : "OVER");
    std::fflush(stdout);
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
    if (argc == 3 && std::wstring(argv[1]) == L"--typing-memory")
        return MeasureTypingMemory(std::wstring(argv[2]) == L"1");

    // An argument picks one measurement: memory, open, replace, indent, enter, history (or only its
    // memory, history-memory), colours, run, console, soak or start.
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
    if (wanted(L"history")) {
        BenchTypingWithHistory(text);
        BenchEnterWithHistory(text);
        BenchReplaceWithHistory(text);
        BenchUndoReplace(text);
    }
    if (wanted(L"history") || only == L"history-memory")
        BenchHistoryMemory();
    if (wanted(L"colours"))
        BenchColours(text);
    if (wanted(L"run"))
        BenchRun();
    if (wanted(L"console"))
        BenchConsoleRun();
    if (wanted(L"soak"))
        BenchSoak();
    DestroyWindow(mHwnd);
    DeleteFileW(path.c_str());
    return allWithin ? 0 : 1;
}
