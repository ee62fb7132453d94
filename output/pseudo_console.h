#pragma once
// A pseudoconsole: a console without a window, whose screen arrives as text with escape
// sequences and whose input is what is written to it. Loaded at run time, since systems before
// Windows 10 1809 lack it (and so do some headers).

#include <windows.h>

#include <vector>

class PseudoConsole {
public:
    PseudoConsole() = default;
    ~PseudoConsole() { Close(); }
    PseudoConsole(const PseudoConsole&) = delete;
    PseudoConsole& operator=(const PseudoConsole&) = delete;

    // A console of `columns` by `rows` that reads what is written to `input`'s other end and
    // writes its screen to `output`. False where none can be had.
    bool Create(int columns, int rows, HANDLE input, HANDLE output);

    // Makes a process started with `startup` (and EXTENDED_STARTUPINFO_PRESENT) run in it.
    bool Attach(STARTUPINFOEXW& startup);

    // Ends the console. It waits until the console's last output is written, so whatever reads
    // that output must go on reading meanwhile.
    void Close();

private:
    void* console_ = nullptr;
    std::vector<unsigned char> attributes_;
    bool attributesMade_ = false;
};
