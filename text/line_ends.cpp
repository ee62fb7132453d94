#include "text/line_ends.h"

#include <cstddef>
#include <utility>

#include "text/unit_scan.h"

namespace {

struct LineEndCounts {
    std::size_t crLf = 0;
    std::size_t lf = 0;
    std::size_t cr = 0;
};

LineEndCounts CountLineEnds(std::u16string_view text)
{
    LineEndCounts counts;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == u'\r') {
            if (at + 1 < text.size() && text[at + 1] == u'\n') {
                ++counts.crLf;
                ++at;
            } else {
                ++counts.cr;
            }
        } else if (text[at] == u'\n') {
            ++counts.lf;
        }
    }
    return counts;
}

}  // namespace

LineEnds LineEndsOf(std::u16string_view text)
{
    const LineEndCounts counts = CountLineEnds(text);
    if (counts.lf > counts.crLf && counts.lf > counts.cr)
        return LineEnds::Lf;
    if (counts.cr > counts.crLf && counts.cr > counts.lf)
        return LineEnds::Cr;
    return LineEnds::CrLf;
}

bool MakeLineEndsCrLf(std::u16string& text)
{
    const LineEndCounts counts = CountLineEnds(text);
    if (counts.lf == 0 && counts.cr == 0)
        return false;
    std::u16string made;
    made.reserve(text.size() + counts.lf + counts.cr);
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (unit == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') {
            made += u"\r\n";
            ++at;
        } else if (unit == u'\r' || unit == u'\n') {
            made += u"\r\n";
        } else {
            made.push_back(unit);
        }
    }
    text = std::move(made);
    return true;
}

std::u16string WithLineEnds(std::u16string_view text, LineEnds ends)
{
    if (ends == LineEnds::CrLf)
        return std::u16string(text);
    const char16_t kept = ends == LineEnds::Lf ? u'\n' : u'\r';
    std::u16string written;
    written.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t cr = FindUnit(text, u'\r'); cr != std::u16string_view::npos; cr = FindUnit(text, u'\r', from)) {
        if (cr + 1 < text.size() && text[cr + 1] == u'\n') {
            written.append(text.substr(from, cr - from));
            written.push_back(kept);
            from = cr + 2;
        } else {
            written.append(text.substr(from, cr + 1 - from));
            from = cr + 1;
        }
    }
    written.append(text.substr(from));
    return written;
}
