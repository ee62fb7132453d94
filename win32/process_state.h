#pragma once
// Everything the process keeps for its whole life, in one place. The windows and fonts are
// made at start-up and kept until the process ends; each group says who writes it.

#include <windows.h>

#include "settings/settings_record.h"
#include "text/line_ends.h"
#include "win32/window_groups.h"

// The program itself: set by start-up before the main window is made.
extern HINSTANCE mhI;
extern HWND mHwnd;  // the main window

// Where Compile and Run execute: the folder the editor was started in, read at start-up.
constexpr int kCurrentPathCapacity = 260;
extern wchar_t currentPathA[kCurrentPathCapacity];

// The windows of the shell, made by the main window's creation (the editor) and by `init`.
extern HWND hEdit;
extern HWND hTopBar;
extern HWND hJump;
extern HWND hOutput;  // its text is written only through SetOutputText and AppendOutputText
extern HWND hLabel;   // the caret's line and column, a label in the command bar
extern HWND hTooltips;  // the command bar's tooltips
extern HWND hGutter;  // the editor's line numbers and compiler marks, made with the editor
extern int gutterWidth;  // the gutter's width for the layout, written by the code view
extern WManager okno_dzialan;  // the command bar's 13 controls
extern WManager okno_skoku;    // the jump bar's 19 buttons
// The output pane's height on screen, written by dragging the splitter; 0 until then, when
// the layout gives the pane its own height.
extern int outputPaneHeight;

// Fonts and colours. hNormalFont is the editor's and the pane's, replaced by the font chooser
// and by loading a project; hOldFont is the bars' and dialogs'. The colours follow the
// settings record (ApplyColors).
extern HFONT hNormalFont;
extern HFONT hOldFont;
extern HFONT hOutputFont;  // the pane's fixed-pitch font, as tall as hNormalFont (SetOutputFont)
extern HBRUSH hBrushBlack;  // the output pane's empty area; deleted with the main window
extern HBRUSH hEditorBrush;  // the editor's empty area, of backgroundColor; made again when it
                             // changes, deleted with the main window
extern COLORREF textColor;
extern COLORREF backgroundColor;

// The selection the caret label last showed, written by the editor's procedure: of a new
// selection, the end that moved is where the caret is.
extern DWORD shownSelectionStart;
extern DWORD shownSelectionEnd;

// The text file in the editor: set by Open and the save dialog; empty when there is none.
constexpr int kCurrentFileCapacity = 300;
extern wchar_t current_file[kCurrentFileCapacity];
// The line ends that file had when it was loaded, which a save writes again; CR LF for new text.
extern LineEnds current_line_ends;

// The settings record and the project file it was last saved to or loaded from: start values
// from `init`, then written by the settings dialog. `lf` is the font chooser's record.
constexpr int kProjectNameCapacity = 260;
extern Settings ustawienia;
extern LOGFONTW lf;
extern wchar_t project_name[kProjectNameCapacity];
