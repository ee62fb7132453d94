#pragma once
// The line ends of a text file and the editor's CR LF. Portable.

#include <string>
#include <string_view>

enum class LineEnds { CrLf, Lf, Cr };

// The line ends a file keeps when it is saved again: the kind most of its line ends are, CR LF
// on a tie or when it has none.
LineEnds LineEndsOf(std::u16string_view text);

// Every lone LF and lone CR becomes CR LF, the only line break the edit control shows. False,
// and the text untouched, when it had none.
bool MakeLineEndsCrLf(std::u16string& text);

// The editor's CR LF pairs written as `ends`; a lone CR or LF is left as it is.
std::u16string WithLineEnds(std::u16string_view text, LineEnds ends);
