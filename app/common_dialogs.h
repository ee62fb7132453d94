#pragma once
// The common file, font and colour dialogs. Their DLL, and the several DLLs it brings along,
// are loaded when the user first opens one of them rather than at start-up, where loading
// them was a good part of the wait before the window could be used.

#include <windows.h>
#include <commdlg.h>

// Each behaves as the system function of the same purpose (GetOpenFileNameW, GetSaveFileNameW,
// ChooseFontW, ChooseColorW). When the dialogs cannot be loaded, an "Error" box owned by the
// record's owner says so and the result is FALSE, as if the user had cancelled.
BOOL ShowOpenFileDialog(OPENFILENAMEW* record);
BOOL ShowSaveFileDialog(OPENFILENAMEW* record);
BOOL ShowFontDialog(CHOOSEFONTW* chooser);
BOOL ShowColorDialog(CHOOSECOLORW* chooser);

// The function `name` of the system DLL `dll`, loading the DLL at the first call; it then stays
// loaded. Null, after the "Error" box, when the DLL or the function is missing.
FARPROC FindDialogFunction(HWND owner, const wchar_t* dll, const char* name);
