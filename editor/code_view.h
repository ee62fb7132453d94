#pragma once
// The code view over the editor's edit control: line numbers and the last compile's marks in a
// gutter at its left, and C in colour painted over the control's own painting, at the control's
// own character positions, so that its caret, selection and scrolling stay its own.

#include <windows.h>

#include <cstddef>

#include "editor/c_tokens.h"

// Makes the gutter (hGutter) beside the editor and gives the layout its width.
void InstallCodeView(HWND edit, HWND parent);

// Around one message of the editor's procedure: what the message may change is read before it,
// and the gutter, the colours and the marks follow it afterwards.
class CodeViewWatch {
public:
    CodeViewWatch(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    ~CodeViewWatch();
    CodeViewWatch(const CodeViewWatch&) = delete;
    CodeViewWatch& operator=(const CodeViewWatch&) = delete;

private:
    HWND edit_;
    UINT message_;
    WPARAM wParam_;
    bool active_ = false;
    HRGN painted_ = nullptr;
    DWORD selectionStart_ = 0;
    DWORD selectionEnd_ = 0;
    std::size_t length_ = 0;
    unsigned changes_ = 0;
    std::size_t followingLine_ = 0;  // a line start after the selection, and the state there
    ScanState followingState_ = {};
};

// The editor's control reported a change of its text (EN_CHANGE).
void NoteCodeViewTextChanged();

// Marks the editor's lines that the compiler's messages now in the output pane name, in place
// of the marks of the compile before.
void MarkCompilerMessages();

// F4 and Shift+F4: the caret to the next or previous marked message's line and column, that
// message selected in the pane; wraps round. False when there is no mark.
bool GoToCompilerMessage(bool forward);

// The colour of each kind of C text.
COLORREF CodeColourOf(TokenKind kind);

// The colours can be switched off, for measuring what they cost, or painted all in the text
// colour, which must give the control's own picture to the pixel.
enum class CodeColours { Off, Scheme, TextColourOnly };
void ShowCodeColours(CodeColours colours);

// The line number the gutter last painted in its top row (0 before it painted one).
std::size_t GutterFirstNumber();
