#pragma once
// Small readers of real window state for the in-process tests.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "win32/layout.h"

std::wstring WindowText(HWND window);
std::wstring ClassNameOf(HWND window);
// Where a child stands in its parent's client area, as x, y, width, height.
LayoutRect PlaceInParent(HWND window);
DWORD StyleOf(HWND window);
// An edit control's selection, as EM_GETSEL reports it.
struct Selection {
    DWORD start;
    DWORD end;
    bool operator==(const Selection&) const = default;
};

Selection SelectionOf(HWND edit);

// A click on a command-bar button, as the button reports it to the bar.
void PressCommandBarButton(int id);

// Lets posted messages and paints through, as the message loop would.
void PumpPendingMessages();

// One key going down or up on the real keyboard input path: a virtual key, or with 0 the
// character through the Unicode path.
INPUT KeyEvent(WORD virtualKey, wchar_t character, bool up);
// Each key goes down and up in turn.
std::vector<INPUT> KeyStrokes(std::initializer_list<WORD> virtualKeys);
// The keys go down in order and up in reverse, as a shortcut such as Ctrl+Shift+S is pressed.
std::vector<INPUT> KeyChord(std::initializer_list<WORD> virtualKeys);
// All the events in one SendInput call, so nothing else comes between them.
void SendKeyEvents(const std::vector<INPUT>& events);

// Sends the events, then lets the messages through until `done` holds or a few seconds pass.
// Returns whether `done` came to hold.
bool SendKeyEventsUntil(const std::vector<INPUT>& events, const std::function<bool()>& done);
// Types the text on the real keyboard input path, as SendKeyEventsUntil does.
bool TypeOnKeyboard(const std::wstring& text, const std::function<bool()>& done);

int ScreenWidth();
int ScreenHeight();
// Two clicks of the left button on the real input path, at a character of an edit control.
void DoubleClickOnCharacter(HWND window, int character);
// The start layout is the screen's; the output pane ends where the main window's client area
// does, so that its last line is in view.
int VisiblePaneHeight();

#include <functional>
#include <set>
#include <vector>

// Answers the modal dialogs and message boxes that a command opens, from a timer that
// fires inside their nested message loops. Each new dialog of this thread gets the next
// action; a dialog that appears when no action is left is cancelled and counted as unexpected.
class ModalDriver {
public:
    using Action = std::function<void(HWND dialog)>;

    explicit ModalDriver(std::vector<Action> actions);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    int handled() const { return handled_; }
    int unexpected() const { return unexpected_; }
    bool finished() const { return next_ == actions_.size(); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Poll();

    std::vector<Action> actions_;
    std::size_t next_ = 0;
    int handled_ = 0;
    int unexpected_ = 0;
    std::set<HWND> seen_;
    UINT_PTR timer_ = 0;
};

// Actions for the common file dialogs and message boxes.
ModalDriver::Action ChooseFile(const std::wstring& path);
ModalDriver::Action CancelDialog();
ModalDriver::Action PressButton(int id);

struct MessageBoxSeen {
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
};
// A message's text from the string table with its "%lu" replaced by `code`, as a box shows it.
std::wstring TextWithCode(UINT messageId, DWORD code);

// Notes a message box's caption and text, then closes it with OK.
ModalDriver::Action RecordMessageBox(MessageBoxSeen* seen);

// Ends the whole test run, naming `what`, when it has not gone out of scope within `seconds`:
// a wait that hangs fails where it hangs instead of at the runner's time-out.
class Deadline {
public:
    Deadline(std::string what, DWORD seconds = 30);
    ~Deadline();
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    static DWORD WINAPI Watch(void* self);
    std::string what_;
    DWORD seconds_;
    HANDLE done_ = nullptr;
    HANDLE thread_ = nullptr;
};

// A fresh, empty folder for one test's files, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }
    // The names of the files in the folder, sorted.
    std::vector<std::wstring> Names() const;

private:
    std::wstring folder_;
};

std::vector<unsigned char> ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);

// The output pane draws with its own fixed-pitch font, as tall as `editorFont`.
testing::AssertionResult PaneFontFollows(HFONT editorFont);
