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

// The editor and the output pane reach across the jump bar's place while it is hidden.
LayoutRect EditorRect(int screenWidth, int screenHeight, bool jumpBarShown);
LayoutRect OutputRect(int screenWidth, int screenHeight, bool jumpBarShown);

// Top-left corner that centres a window of the given size on the whole screen.
ScreenPoint CenteredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight);
