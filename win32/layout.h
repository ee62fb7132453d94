#pragma once
// Where every window of the main screen goes, computed from the screen size alone.
// Rect holds x, y, width and height, the way the window groups use their rectangles.


struct LayoutRect {
    int x;
    int y;
    int width;
    int height;
    bool operator==(const LayoutRect&) const = default;
};

struct WorkArea {
    int left;
    int top;
    int right;
    int bottom;
};

struct ScreenPoint {
    int x;
    int y;
    bool operator==(const ScreenPoint&) const = default;
};

constexpr int kTopBarHeight = 33;
constexpr int kOutputPaneHeight = 170;
constexpr int kCommandBarSlots = 13;
constexpr int kJumpButtons = 19;

// The command bar's slots, left to right; the last seven stand at the right edge.
enum CommandBarSlot : int {
    kOpenSlot,
    kSaveSlot,
    kSaveAsSlot,
    kCompileSlot,
    kRunSlot,
    kOptionsSlot,
    kJumpBarToggleSlot,
    kIndentSlot,
    kOutdentSlot,
    kCountDownSlot,
    kCountUpSlot,
    kCountFieldSlot,
    kSearchSlot,
};

// The command bar's slot rectangles for a group of `count` controls.
LayoutRect CommandBarSlotRect(int slot, int count, int screenWidth);

LayoutRect JumpButtonRect(int slot);

LayoutRect MainWindowRect(const WorkArea& workArea);
LayoutRect EditorCreationRect(int screenWidth, int screenHeight);
LayoutRect TopBarRect(int screenWidth);
LayoutRect JumpBarRect(int screenWidth, int screenHeight);
LayoutRect OutputCreationRect(int screenWidth, int screenHeight);

// The output pane's height as the splitter above it was dragged, kept for a layout `height`
// high within limits: the pane shows a few lines at least, and the editor some more.
constexpr int kSmallestOutputPaneHeight = 60;
constexpr int kSmallestEditorHeight = 120;
int OutputPaneHeightFor(int requested, int height);

// The editor and the output pane reach across the jump bar's place while it is hidden; the
// pane is `paneHeight` high (OutputPaneHeightFor), the editor takes the rest.
LayoutRect EditorRect(int screenWidth, int screenHeight, bool jumpBarShown, int paneHeight = kOutputPaneHeight);
LayoutRect OutputRect(int screenWidth, int screenHeight, bool jumpBarShown, int paneHeight = kOutputPaneHeight);

// The label of the caret's line and column: in the command bar between Options and Search,
// as wide as the gap allows (0 when there is none).
LayoutRect CaretLabelRect(int width);

// Every window of the main screen for a layout `width` by `height`: the screen's size while the
// main window stands where start-up put it, the client area's after any other size change.
struct ShellLayout {
    LayoutRect topBar;
    LayoutRect gutter;  // the editor's line numbers, at its left
    LayoutRect editor;
    LayoutRect output;
    LayoutRect jumpBar;
    LayoutRect caretLabel;  // in the command bar
    LayoutRect commandBar[kCommandBarSlots];  // in the command bar
};
ShellLayout ShellLayoutFor(int width, int height, bool jumpBarShown, int paneHeight = kOutputPaneHeight,
                           int gutterWidth = 0);

// The editor's place split into the gutter at its left, `gutterWidth` wide (at most half the
// place), and the editor's rest.
void GiveGutterItsWidth(ShellLayout& layout, int gutterWidth);

// The smallest client area in which every control is whole and none overlaps another.
constexpr int kSmallestLayoutWidth = 880;
constexpr int kSmallestLayoutHeight = 524;

// The smallest the user can make the main window.
constexpr int kSmallestWindowWidth = 1024;
constexpr int kSmallestWindowHeight = 600;

// Top-left corner that centres a window of the given size on the whole screen.
ScreenPoint CenteredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight);
