#include "output/console_run.h"

#include <algorithm>
#include <array>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "output/child_job.h"
#include "output/command_input.h"
#include "output/command_line.h"
#include "output/console_text.h"
#include "output/output_pane.h"
#include "output/output_stream.h"
#include "output/pipe_threads.h"
#include "output/pseudo_console.h"
#include "output/terminal_screen.h"
#include "resources/resource_ids.h"
#include "text/wide.h"
#include "win32/holders.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

// As a console window: programs that place their text expect this many rows.
constexpr int kConsoleRows = 25;
constexpr int kFewestColumns = 20;
constexpr int kMostColumns = 500;
// Each update of a visible edit control costs the same whatever it adds.
constexpr ULONGLONG kPaneUpdateInterval = 100;
constexpr DWORD kReadBlockBytes = 64 * 1024;
// After the console has closed, its last output is waited for this long at most.
constexpr DWORD kLastOutputWait = 5000;

// The console sized to the pane's text area, so that its lines wrap where the pane's would.
int PaneColumns()
{
    RECT text{};
    SendMessageW(hOutput, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    int characterWidth = 8;
    if (HDC dc = GetDC(hOutput)) {
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hOutput, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(dc, &metrics) && metrics.tmAveCharWidth > 0)
            characterWidth = metrics.tmAveCharWidth;
        SelectObject(dc, old);
        ReleaseDC(hOutput, dc);
    }
    return std::clamp(static_cast<int>(text.right - text.left) / characterWidth, kFewestColumns, kMostColumns);
}

std::wstring LauncherPath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring launcher(path, length);
    launcher.erase(launcher.find_last_of(L"\\/") + 1);
    launcher += kConsoleLauncherName;
    return GetFileAttributesW(launcher.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : launcher;
}

// Reads the console's screen as it comes and keeps what it shows.
class ConsoleReader {
public:
    ConsoleReader(HANDLE readEnd, int columns, int rows) : readEnd_(readEnd), screen_(columns, rows)
    {
        InitializeCriticalSection(&lock_);
    }
    ~ConsoleReader()
    {
        if (thread_.valid()) {
            while (WaitForSingleObject(thread_.get(), 50) == WAIT_TIMEOUT)
                CancelSynchronousIo(thread_.get());
        }
        DeleteCriticalSection(&lock_);
    }
    ConsoleReader(const ConsoleReader&) = delete;
    ConsoleReader& operator=(const ConsoleReader&) = delete;

    bool Start()
    {
        arrived_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (arrived_.valid())
            thread_.reset(CreateThread(nullptr, 0, ReadUntilEnd, this, 0, nullptr));
        return thread_.valid();
    }

    HANDLE Arrived() const { return arrived_.get(); }

    // Once the console has closed, its output ends; a reader that does not see the end in
    // time is cancelled.
    void WaitForEnd()
    {
        if (thread_.valid() && WaitForSingleObject(thread_.get(), kLastOutputWait) == WAIT_TIMEOUT)
            CancelSynchronousIo(thread_.get());
    }

    struct Shown {
        TerminalScreen::Scrolled scrolled;
        std::vector<std::u16string> screen;
    };
    Shown Take()
    {
        EnterCriticalSection(&lock_);
        Shown shown;
        try {
            shown = {screen_.TakeScrolled(), screen_.ScreenLines()};
        } catch (...) {
            LeaveCriticalSection(&lock_);
            throw;
        }
        LeaveCriticalSection(&lock_);
        return shown;
    }

private:
    static DWORD WINAPI ReadUntilEnd(void* self)
    {
        static_cast<ConsoleReader*>(self)->ReadAll();
        return 0;
    }

    void ReadAll()
    {
        std::vector<char> block(kReadBlockBytes);
        DWORD read = 0;
        while (ReadFile(readEnd_, block.data(), kReadBlockBytes, &read, nullptr) && read > 0) {
            EnterCriticalSection(&lock_);
            try {
                screen_.Feed({block.data(), read});
            } catch (const std::bad_alloc&) {
                // What scrolled off meanwhile is lost; the console is still drained.
            }
            LeaveCriticalSection(&lock_);
            SetEvent(arrived_.get());
        }
    }

    HANDLE readEnd_;
    CRITICAL_SECTION lock_;
    TerminalScreen screen_;
    ScopedHandle arrived_;
    ScopedHandle thread_;
};

ByteCharacterShape OemShape()
{
    ByteCharacterShape shape;
    CPINFOEXW info{};
    if (!GetCPInfoExW(CP_OEMCP, 0, &info))
        return shape;
    if (info.CodePage == CP_UTF8) {
        shape.kind = ByteCharacterShape::Kind::Utf8;
    } else if (info.MaxCharSize > 1) {
        shape.kind = ByteCharacterShape::Kind::LeadBytes;
        for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2) {
            for (int byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte)
                shape.isLeadByte[static_cast<std::size_t>(byte)] = true;
        }
    }
    return shape;
}

std::array<char16_t, 256> OemCharacters()
{
    std::array<char16_t, 256> characters{};
    for (int byte = 0; byte < 256; ++byte) {
        const char single = static_cast<char>(byte);
        wchar_t c = 0;
        if (MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, &single, 1, &c, 1) == 1)
            characters[static_cast<std::size_t>(byte)] = static_cast<char16_t>(c);
    }
    return characters;
}

std::wstring Decoded(const std::string& bytes, UINT codePage)
{
    std::wstring text(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                           static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

// The console's screen in the pane: the lines that scrolled off, then the screen. Each line
// is read as the program wrote it, from UTF-8 or the OEM code page as its bytes say.
class ConsoleView {
public:
    ConsoleView() : bytes_(OemCharacters()), shape_(OemShape()) {}

    void Show(ConsoleReader::Shown shown)
    {
        bool rebuild = false;
        if (shown.scrolled.cleared) {
            // cls: as in a console, what the program printed before goes.
            rebuild = true;
            committed_ = 0;
        }
        std::wstring added;
        for (const std::u16string& line : shown.scrolled.lines) {
            const std::uint64_t size = line.size() + 2;
            if (keptCharacters_ + size > kShownOutputLimit) {
                leftOut_ += size;
                continue;
            }
            keptCharacters_ += size;
            added += Line(line) + L"\r\n";
        }
        std::wstring screen;
        for (std::size_t i = 0; i < shown.screen.size(); ++i)
            screen += (i == 0 ? L"" : L"\r\n") + Line(shown.screen[i]);
        if (!rebuild && added.empty() && screen == screen_)
            return;
        if (rebuild)
            SetOutputText(added + screen);
        else
            ReplaceOutputEnd(committed_, added + screen);
        committed_ += added.size();
        screen_ = std::move(screen);
    }

    // A closing line, on a line of its own after the screen.
    void ShowLine(const std::wstring& line)
    {
        const bool atLineStart = screen_.empty() || screen_.ends_with(L"\n");
        AppendOutputText(atLineStart ? line : L"\r\n" + line);
        screen_ += atLineStart ? line : L"\r\n" + line;
    }

    std::uint64_t LeftOut() const { return leftOut_; }

private:
    std::wstring Line(const std::u16string& line)
    {
        if (std::all_of(line.begin(), line.end(), [](char16_t c) { return c < 0x80; }))
            return AsWideString(line);
        const std::optional<std::string> bytes = bytes_.Recover(line);
        if (!bytes)
            return AsWideString(line);
        std::wstring text;
        LineDecider decider(shape_);
        for (const OutputPiece& piece : decider.Take(*bytes, true))
            text += Decoded(piece.bytes, piece.encoding == PieceEncoding::Utf8 ? CP_UTF8 : CP_OEMCP);
        return text;
    }

    ConsoleBytes bytes_;
    ByteCharacterShape shape_;
    std::size_t committed_ = 0;  // the pane's characters before the screen
    std::uint64_t keptCharacters_ = 0;
    std::uint64_t leftOut_ = 0;
    std::wstring screen_;
};

std::string Utf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    std::string bytes(text.size() * 3, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return bytes;
}

// What the keyboard sends to the console: characters as UTF-8, Enter as CR, Backspace as
// DEL, the keys that move the cursor as their escape sequences. The console echoes and edits
// lines itself.
class ConsoleKeys {
public:
    explicit ConsoleKeys(InputWriter& input) : input_(input) {}

    void Key(WPARAM key)
    {
        const char* sequence = nullptr;
        switch (key) {
        case VK_UP: sequence = "\x1b[A"; break;
        case VK_DOWN: sequence = "\x1b[B"; break;
        case VK_RIGHT: sequence = "\x1b[C"; break;
        case VK_LEFT: sequence = "\x1b[D"; break;
        case VK_HOME: sequence = "\x1b[H"; break;
        case VK_END: sequence = "\x1b[F"; break;
        case VK_DELETE: sequence = "\x1b[3~"; break;
        default: return;
        }
        input_.Send(sequence);
    }

    void Character(wchar_t c)
    {
        switch (c) {
        case 0x08:
            input_.Send("\x7f");
            return;
        case 0x16:  // Ctrl+V
            Paste();
            return;
        case L'\r':
        case L'\t':
        case 0x03:  // Ctrl+C
        case 0x1A:  // Ctrl+Z: at a line's start and with Enter, the end of the input
            input_.Send(std::string(1, static_cast<char>(c)));
            return;
        default:
            break;
        }
        if (c < L' ')
            return;
        if (IS_HIGH_SURROGATE(c)) {
            highSurrogate_ = c;
            return;
        }
        if (IS_LOW_SURROGATE(c)) {
            if (highSurrogate_)
                input_.Send(Utf8(std::wstring{highSurrogate_, c}));
            highSurrogate_ = 0;
            return;
        }
        input_.Send(Utf8(std::wstring(1, c)));
    }

private:
    // Pasted lines are typed as if Enter ended each.
    void Paste()
    {
        const std::optional<std::wstring> pasted = ClipboardText(hOutput);
        if (!pasted)
            return;
        const std::wstring& text = *pasted;
        std::wstring typed;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const wchar_t c = text[i];
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                continue;
            if (c == L'\n' || c == L'\r')
                typed += L'\r';
            else if (c >= L' ' || c == L'\t')
                typed += c;
        }
        input_.Send(Utf8(typed));
    }

    InputWriter& input_;
    wchar_t highSurrogate_ = 0;
};

struct ConsoleEnd {
    bool stopped = false;
    DWORD exitCode = 0;
    ULONGLONG milliseconds = 0;
};

ConsoleEnd ShowConsoleUntilItEnds(ConsoleReader& reader, ConsoleView& view, HANDLE process, ChildJob& job,
                                  InputWriter& input, ULONGLONG startedAt)
{
    ConsoleKeys keys(input);
    ConsoleEnd end;
    bool unshown = false;
    ULONGLONG lastShown = 0;
    for (bool ended = false; !ended;) {
        HANDLE waits[2] = {process, reader.Arrived()};
        const DWORD count = unshown ? 1 : 2;
        DWORD timeout = job.HasJob() ? INFINITE : 200;
        if (unshown) {
            const ULONGLONG since = GetTickCount64() - lastShown;
            timeout = std::min<DWORD>(timeout, since >= kPaneUpdateInterval ? 0 : static_cast<DWORD>(kPaneUpdateInterval - since));
        }
        const DWORD woke = MsgWaitForMultipleObjectsEx(count, waits, timeout,
                                                       QS_KEY | QS_MOUSEBUTTON | QS_PAINT | QS_SENDMESSAGE,
                                                       MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0)
            ended = true;
        else if (woke == WAIT_OBJECT_0 + 1)
            unshown = true;
        job.Watch();
        // Keys go to the console as they are pressed, characters as typed.
        const bool escape = TakeInputWatchingForEscape([&keys](const MSG& message) {
            if (message.message == WM_KEYDOWN)
                keys.Key(message.wParam);
            else
                keys.Character(static_cast<wchar_t>(message.wParam));
        });
        if (escape) {
            job.Stop();
            end.stopped = true;
        }
        RepaintWhileWaiting();
        if (unshown && GetTickCount64() - lastShown >= kPaneUpdateInterval) {
            view.Show(reader.Take());
            lastShown = GetTickCount64();
            unshown = false;
        }
    }
    end.milliseconds = GetTickCount64() - startedAt;
    GetExitCodeProcess(process, &end.exitCode);
    return end;
}

// False when no console could be had; the caller then runs the command through pipes.
std::optional<CommandOutcome> RunWithConsole(const wchar_t* command, const std::wstring& launcher)
{
    ScopedHandle consoleInput;
    ScopedHandle inputWriteEnd;
    ScopedHandle outputReadEnd;
    ScopedHandle consoleOutput;
    {
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!CreatePipe(&read, &write, nullptr, 0))
            return std::nullopt;
        consoleInput.reset(read);
        inputWriteEnd.reset(write);
        if (!CreatePipe(&read, &write, nullptr, 0))
            return std::nullopt;
        outputReadEnd.reset(read);
        consoleOutput.reset(write);
    }
    const int columns = PaneColumns();
    PseudoConsole console;
    if (!console.Create(columns, kConsoleRows, consoleInput.get(), consoleOutput.get()))
        return std::nullopt;
    // The console holds its own copies: the output ends when it closes.
    consoleInput.reset();
    consoleOutput.reset();
    ConsoleReader reader(outputReadEnd.get(), columns, kConsoleRows);
    if (!reader.Start())
        return std::nullopt;

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    // No handles of the editor's own: the launcher takes the console's.
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    if (!console.Attach(startup)) {
        console.Close();
        return std::nullopt;
    }
    std::wstring commandLine = L"\"" + launcher + L"\" " +
                               AsWideString(InterpreterCommandLine(AsUtf16View(command, wcslen(command))));
    PROCESS_INFORMATION child{};
    const ULONGLONG startedAt = GetTickCount64();
    // Started suspended so that it is inside the job before it can start anything itself.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                        EXTENDED_STARTUPINFO_PRESENT | CREATE_SUSPENDED, nullptr, nullptr, &startup.StartupInfo,
                        &child)) {
        console.Close();
        return std::nullopt;
    }
    ScopedHandle process(child.hProcess);
    ScopedHandle thread(child.hThread);
    ChildJob job(child.hProcess, child.dwProcessId, true);
    ResumeThread(child.hThread);

    InputWriter input(inputWriteEnd.release());
    input.Start();
    ConsoleView view;
    ConsoleEnd end;
    try {
        end = ShowConsoleUntilItEnds(reader, view, child.hProcess, job, input, startedAt);
    } catch (...) {
        job.Stop();
        console.Close();
        throw;
    }
    // Whatever the program left running goes with it; then the console's last output comes.
    job.Stop();
    input.Close();
    console.Close();
    reader.WaitForEnd();
    view.Show(reader.Take());
    if (const std::uint64_t leftOut = view.LeftOut())
        AppendOutputText(AsWideString(LeftOutLine(leftOut)));
    if (end.stopped) {
        AppendOutputText(AsWideString(StoppedLine()));
        return CommandOutcome::Stopped;
    }
    view.ShowLine(AsWideString(FinishedLine(end.exitCode, end.milliseconds)));
    return CommandOutcome::Finished;
}

}  // namespace

CommandOutcome RunInConsole(const wchar_t* command, const ConsoleFaults& faults)
{
    if (CommandIsRunning())
        return CommandOutcome::NotStarted;
    // The previous command's end line must not stand there while the program waits.
    SetOutputText(L"");
    UpdateWindow(hOutput);
    std::optional<CommandOutcome> outcome;
    {
        const RunningCommand running;
        try {
            const std::wstring launcher = LauncherPath();
            if (!faults.noPseudoConsole && !launcher.empty())
                outcome = RunWithConsole(command, launcher);
        } catch (const std::bad_alloc&) {
            ReportMessage(hOutput, IDS_OUT_OF_MEMORY);
            return CommandOutcome::NotStarted;
        }
    }
    if (outcome)
        return *outcome;
    SetOutputText(AsWideString(NoConsoleLine()));
    return RunCommandAndRedirect(command, {}, FirstOutput::Follows);
}
