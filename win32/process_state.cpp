#include "win32/process_state.h"

HINSTANCE mhI = nullptr;
HWND mHwnd = nullptr;

wchar_t currentPathA[kCurrentPathCapacity] = {};

HWND hEdit = nullptr;
HWND hTopBar = nullptr;
HWND hJump = nullptr;
HWND hOutput = nullptr;
HWND hLabel = nullptr;
HWND hTooltips = nullptr;
HWND hGutter = nullptr;
int gutterWidth = 0;
WManager okno_dzialan = {};
WManager okno_skoku = {};
int outputPaneHeight = 0;

HFONT hNormalFont = nullptr;
HFONT hOldFont = nullptr;
HFONT hOutputFont = nullptr;
HBRUSH hBrushBlack = nullptr;
HBRUSH hEditorBrush = nullptr;
COLORREF textColor = RGB(255, 255, 255);
COLORREF backgroundColor = RGB(0, 0, 0);

DWORD shownSelectionStart = 0;
DWORD shownSelectionEnd = 0;

wchar_t current_file[kCurrentFileCapacity] = {};
LineEnds current_line_ends = LineEnds::CrLf;

Settings ustawienia = {};
LOGFONTW lf = {};
wchar_t project_name[kProjectNameCapacity] = {};
