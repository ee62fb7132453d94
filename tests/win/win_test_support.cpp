#include "tests/win/win_test_support.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return {buffer.data(), static_cast<std::size_t>(copied)};
}

std::wstring ClassNameOf(HWND window)
{
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return {name, static_cast<std::size_t>(length)};
}

LayoutRect PlaceInParent(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
    return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

DWORD StyleOf(HWND window)
{
    return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
}

Selection SelectionOf(HWND edit)
{
    Selection selection = {};
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                 reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

void PressCommandBarButton(int id)
{
    SendMessageW(hTopBar, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hTopBar, id)));
}

void PumpPendingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

INPUT KeyEvent(WORD virtualKey, wchar_t character, bool up)
{
    INPUT event = {};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = virtualKey;
    event.ki.wScan = virtualKey ? 0 : character;
    event.ki.dwFlags = (virtualKey ? 0 : KEYEVENTF_UNICODE) | (up ? KEYEVENTF_KEYUP : 0);
    return event;
}

std::vector<INPUT> KeyStrokes(std::initializer_list<WORD> virtualKeys)
{
    std::vector<INPUT> events;
    for (WORD key : virtualKeys) {
        events.push_back(KeyEvent(key, 0, false));
        events.push_back(KeyEvent(key, 0, true));
    }
    return events;
}

std::vector<INPUT> KeyChord(std::initializer_list<WORD> virtualKeys)
{
    std::vector<INPUT> events;
    for (WORD key : virtualKeys)
        events.push_back(KeyEvent(key, 0, false));
    for (auto it = virtualKeys.end(); it != virtualKeys.begin();)
        events.push_back(KeyEvent(*--it, 0, true));
    return events;
}

void SendKeyEvents(const std::vector<INPUT>& events)
{
    SendInput(static_cast<UINT>(events.size()), const_cast<INPUT*>(events.data()), sizeof(INPUT));
}

bool TypeOnKeyboard(const std::wstring& text, const std::function<bool()>& done)
{
    std::vector<INPUT> events;
    for (wchar_t character : text) {
        events.push_back(KeyEvent(0, character, false));
        events.push_back(KeyEvent(0, character, true));
    }
    return SendKeyEventsUntil(events, done);
}

bool SendKeyEventsUntil(const std::vector<INPUT>& events, const std::function<bool()>& done)
{
    SendKeyEvents(events);
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (!done() && GetTickCount64() < deadline) {
        PumpPendingMessages();
        Sleep(10);
    }
    return done();
}

int ScreenWidth()
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int ScreenHeight()
{
    return GetSystemMetrics(SM_CYSCREEN);
}

namespace {

ModalDriver* g_activeDriver = nullptr;

struct DialogSearch {
    const std::set<HWND>* seen;
    HWND found;
};

BOOL CALLBACK FindNewDialog(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<DialogSearch*>(context);
    if (IsWindowVisible(window) && ClassNameOf(window) == L"#32770" && !search->seen->count(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

ModalDriver::ModalDriver(std::vector<Action> actions) : actions_(std::move(actions))
{
    g_activeDriver = this;
    timer_ = SetTimer(nullptr, 0, 50, OnTimer);
}

ModalDriver::~ModalDriver()
{
    KillTimer(nullptr, timer_);
    g_activeDriver = nullptr;
}

void CALLBACK ModalDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_activeDriver)
        g_activeDriver->Poll();
}

void ModalDriver::Poll()
{
    for (auto it = seen_.begin(); it != seen_.end();)
        it = IsWindow(*it) ? std::next(it) : seen_.erase(it);

    DialogSearch search = {&seen_, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindNewDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return;
    seen_.insert(search.found);
    if (next_ < actions_.size()) {
        ++handled_;
        actions_[next_++](search.found);
    } else {
        ++unexpected_;
        PostMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
    }
}

ModalDriver::Action ChooseFile(const std::wstring& path)
{
    return [path](HWND dialog) {
        SetDlgItemTextW(dialog, 0x47C, path.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    };
}

ModalDriver::Action CancelDialog()
{
    return [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); };
}

ModalDriver::Action PressButton(int id)
{
    return [id](HWND dialog) { PostMessageW(dialog, WM_COMMAND, id, 0); };
}

ModalDriver::Action RecordMessageBox(MessageBoxSeen* seen)
{
    return [seen](HWND box) {
        seen->caption = WindowText(box);
        seen->owner = GetWindow(box, GW_OWNER);
        wchar_t text[1024] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1024);
        seen->text = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    };
}

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    folder_ = std::wstring(base) + L"skoczek-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++counter);
    CreateDirectoryW(folder_.c_str(), nullptr);
}

std::vector<std::wstring> TempFolder::Names() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

// A folder and everything in it, folders inside it included.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::~TempFolder()
{
    RemoveTree(folder_);
}

std::vector<unsigned char> ReadFileBytes(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    unsigned char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring TextWithCode(UINT messageId, DWORD code)
{
    std::wstring text = MessageText(messageId);
    const std::size_t at = text.find(L"%lu");
    if (at != std::wstring::npos)
        text.replace(at, 3, std::to_wstring(code));
    return text;
}

Deadline::Deadline(std::string what, DWORD seconds) : what_(std::move(what)), seconds_(seconds)
{
    done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

Deadline::~Deadline()
{
    SetEvent(done_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(done_);
}

DWORD WINAPI Deadline::Watch(void* self)
{
    auto* deadline = static_cast<Deadline*>(self);
    if (WaitForSingleObject(deadline->done_, deadline->seconds_ * 1000) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "\n[ DEADLINE ] %s did not end within %lu s\n", deadline->what_.c_str(),
                     static_cast<unsigned long>(deadline->seconds_));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
}

testing::AssertionResult PaneFontFollows(HFONT editorFont)
{
    const auto pane = reinterpret_cast<HFONT>(SendMessageW(hOutput, WM_GETFONT, 0, 0));
    LOGFONTW editor{};
    LOGFONTW shown{};
    if (pane != hOutputFont || pane == editorFont || !GetObjectW(editorFont, sizeof editor, &editor) ||
        !GetObjectW(pane, sizeof shown, &shown))
        return testing::AssertionFailure() << "the pane does not draw with its own font";
    if (shown.lfHeight != editor.lfHeight || (shown.lfPitchAndFamily & 3) != FIXED_PITCH)
        return testing::AssertionFailure() << "pane font height " << shown.lfHeight << ", editor's " << editor.lfHeight;
    return testing::AssertionSuccess();
}

int VisiblePaneHeight()
{
    RECT client = {};
    GetClientRect(mHwnd, &client);
    return std::min(170, static_cast<int>(client.bottom) - (ScreenHeight() - 170));
}

void DoubleClickOnCharacter(HWND window, int character)
{
    const LRESULT place = SendMessageW(window, EM_POSFROMCHAR, static_cast<WPARAM>(character), 0);
    POINT point{static_cast<short>(LOWORD(place)) + 2, static_cast<short>(HIWORD(place)) + 4};
    ClientToScreen(window, &point);
    INPUT events[5] = {};
    for (INPUT& event : events) {
        event.type = INPUT_MOUSE;
        event.mi.dx = point.x * 65535 / (ScreenWidth() - 1);
        event.mi.dy = point.y * 65535 / (ScreenHeight() - 1);
        event.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    events[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    events[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    events[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    events[3].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    events[4].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(5, events, sizeof(INPUT));
    for (int i = 0; i < 30; ++i) {
        PumpPendingMessages();
        Sleep(10);
    }
}
