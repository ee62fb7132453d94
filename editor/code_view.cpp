#include "editor/code_view.h"

#include <usp10.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "output/compiler_message.h"
#include "output/output_pane.h"
#include "text/wide.h"
#include "win32/dark_scheme.h"
#include "win32/edit_control_text.h"
#include "win32/holders.h"
#include "win32/main_layout.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

constexpr wchar_t kGutterClass[] = L"SkoczekGutter";
constexpr int kGutterPadding = 14;  // the mark's strip at the left and a gap at the right
constexpr int kMarkWidth = 5;
constexpr COLORREF kNumberColor = RGB(140, 140, 140);
constexpr COLORREF kErrorColor = RGB(235, 60, 60);
constexpr COLORREF kWarningColor = RGB(230, 170, 30);

COLORREF SchemeColourOf(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Keyword:
        return RGB(70, 110, 245);
    case TokenKind::Type:
        return RGB(0, 140, 140);
    case TokenKind::Preprocessor:
        return RGB(180, 70, 190);
    case TokenKind::String:
        return RGB(190, 100, 0);
    case TokenKind::Comment:
        return RGB(50, 140, 50);
    case TokenKind::Number:
        return RGB(215, 60, 60);
    }
    return textColor;
}

struct CompilerMark {
    std::size_t lineStart;
    std::size_t lineEnd;  // where the line's break (or the text) begins
    std::size_t column;
    bool error;
    std::size_t paneOffset;
    std::wstring paneLine;
};

// What the code view keeps between messages. Only the GUI thread touches it.
struct CodeViewState {
    ScanStateCache scan;
    std::vector<CompilerMark> marks;  // in the pane's order
    int currentMark = -1;
    unsigned changes = 0;  // EN_CHANGE notices so far
    bool querying = false;  // the view's own questions to the control pass unwatched
    CodeColours colours = CodeColours::Scheme;
    std::size_t lineCount = 0;
    std::size_t firstNumber = 0;  // in the gutter's top row
};
CodeViewState view;

class Querying {
public:
    Querying() : was_(view.querying) { view.querying = true; }
    ~Querying() { view.querying = was_; }
    Querying(const Querying&) = delete;
    Querying& operator=(const Querying&) = delete;

private:
    bool was_;
};

LRESULT Ask(HWND edit, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    const Querying querying;
    return SendMessageW(edit, message, wParam, lParam);
}

struct Selection {
    DWORD start = 0;
    DWORD end = 0;
};

Selection SelectionOf(HWND edit)
{
    Selection selection;
    Ask(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start), reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

// Where the control's rows start, kept while the text, the font and the control's width stay
// as they were: the control finds a row's start by walking its rows from the first, so asking
// for every row of the view at each repaint would cost more the further down the view is.
struct RowStarts {
    unsigned textVersion = 0;
    HFONT font = nullptr;
    LONG width = -1;
    int first = 0;
    std::vector<std::size_t> starts;
};
RowStarts rowStarts;

void KeepRowStartsFor(HWND edit, const RECT& format)
{
    const HFONT font = reinterpret_cast<HFONT>(Ask(edit, WM_GETFONT));
    const LONG width = format.right - format.left;
    if (rowStarts.textVersion != view.changes || rowStarts.font != font || rowStarts.width != width) {
        rowStarts = {view.changes, font, width, 0, {}};
    }
}

std::size_t LineIndex(HWND edit, int row)
{
    RowStarts& kept = rowStarts;
    const int last = kept.first + static_cast<int>(kept.starts.size());
    if (row >= kept.first && row < last)
        return kept.starts[static_cast<std::size_t>(row - kept.first)];
    const auto start = static_cast<std::size_t>(Ask(edit, EM_LINEINDEX, static_cast<WPARAM>(row)));
    if (kept.starts.empty() || row < kept.first - 200 || row > last + 200 || kept.starts.size() > 4000) {
        kept.first = row;
        kept.starts = {start};
    } else if (row == last) {
        kept.starts.push_back(start);
    } else if (row == kept.first - 1) {
        kept.starts.insert(kept.starts.begin(), start);
        kept.first = row;
    } else {
        // A gap: the rows between are asked for once, so the kept ones stay one run.
        while (row > kept.first + static_cast<int>(kept.starts.size()))
            kept.starts.push_back(static_cast<std::size_t>(Ask(
                edit, EM_LINEINDEX, static_cast<WPARAM>(kept.first + static_cast<int>(kept.starts.size())))));
        while (row < kept.first) {
            --kept.first;
            kept.starts.insert(kept.starts.begin(),
                               static_cast<std::size_t>(Ask(edit, EM_LINEINDEX, static_cast<WPARAM>(kept.first))));
        }
        return LineIndex(edit, row);
    }
    return start;
}

POINT PositionOf(HWND edit, std::size_t offset)
{
    const auto packed = static_cast<DWORD>(Ask(edit, EM_POSFROMCHAR, offset));
    return {static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
}

// The rows of the control's visible lines, in its client coordinates.
struct Rows {
    RECT format = {};
    int first = 0;   // the first visible line, counted as the control counts (wrapped parts too)
    int count = 0;   // the lines of the text
    int height = 1;  // one line's height
    int top = 0;     // the first visible line's top

    int Visible() const { return std::max(0, (static_cast<int>(format.bottom) - top + height - 1) / height); }
};

Rows RowsOf(HWND edit, HDC dc)
{
    Rows rows;
    Ask(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rows.format));
    KeepRowStartsFor(edit, rows.format);
    rows.first = static_cast<int>(Ask(edit, EM_GETFIRSTVISIBLELINE));
    rows.count = static_cast<int>(Ask(edit, EM_GETLINECOUNT));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    rows.height = std::max<int>(1, metrics.tmHeight);
    rows.top = rows.format.top;
    return rows;
}

HFONT EditorFont(HWND edit)
{
    return reinterpret_cast<HFONT>(Ask(edit, WM_GETFONT));
}

bool StartsLine(std::u16string_view text, std::size_t offset)
{
    return offset == 0 || (offset <= text.size() && text[offset - 1] == u'\n');
}

std::size_t LineEndAt(std::u16string_view text, std::size_t offset)
{
    std::size_t end = text.find_first_of(u"\r\n", std::min(offset, text.size()));
    return end == std::u16string_view::npos ? text.size() : end;
}

int DigitsOf(std::size_t number)
{
    int digits = 1;
    while (number >= 10) {
        number /= 10;
        ++digits;
    }
    return digits;
}

// -------- the gutter

int WidthForLines(HWND edit, std::size_t lines)
{
    ScopedMemoryDC dc;
    if (!dc)
        return gutterWidth;
    ScopedSelectObject font(dc, EditorFont(edit));
    SIZE digit = {};
    GetTextExtentPoint32W(dc, L"0", 1, &digit);
    return std::max(2, DigitsOf(lines)) * static_cast<int>(digit.cx) + kGutterPadding;
}

// The layout gives the gutter its width again when the number of digits or the font changes.
void FitGutter(HWND edit)
{
    {
        const EditControlText text(edit);
        view.lineCount = LineCountOf(text.view());
    }
    const int width = WidthForLines(edit, view.lineCount);
    if (width != gutterWidth) {
        gutterWidth = width;
        LayOutShell();
    }
}

const CompilerMark* MarkAt(std::size_t lineStart)
{
    const CompilerMark* found = nullptr;
    for (const CompilerMark& mark : view.marks) {
        if (mark.lineStart == lineStart && (!found || (mark.error && !found->error)))
            found = &mark;
    }
    return found;
}

void PaintGutter(HWND gutter)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(gutter, &paint);
    RECT client = {};
    GetClientRect(gutter, &client);
    {
        ScopedBrush fill(CreateSolidBrush(kDarkFill));
        FillRect(dc, &client, fill);
    }
    HWND edit = hEdit;
    if (edit && IsWindow(edit)) {
        ScopedSelectObject font(dc, EditorFont(edit));
        const Rows rows = RowsOf(edit, dc);
        POINT origin = {0, 0};
        MapWindowPoints(edit, gutter, &origin, 1);
        const EditControlText text(edit);
        const std::u16string_view source = text.view();
        const int last = std::min(rows.count, rows.first + rows.Visible());
        std::size_t offset = LineIndex(edit, rows.first);
        LineStartState line = view.scan.LineStartAt(source, offset);
        SetBkMode(dc, TRANSPARENT);
        view.firstNumber = 0;
        for (int row = rows.first; row < last; ++row) {
            const std::size_t next = row + 1 < rows.count ? LineIndex(edit, row + 1) : source.size();
            if (StartsLine(source, offset)) {
                if (offset != line.offset) {
                    line.line += static_cast<std::size_t>(std::count(source.begin() + static_cast<std::ptrdiff_t>(line.offset),
                                                                     source.begin() + static_cast<std::ptrdiff_t>(offset), u'\n'));
                    line.offset = offset;
                }
                const int top = origin.y + rows.top + (row - rows.first) * rows.height;
                const CompilerMark* mark = MarkAt(offset);
                if (mark) {
                    RECT strip = {2, top + 1, 2 + kMarkWidth, top + rows.height - 1};
                    ScopedBrush markFill(CreateSolidBrush(mark->error ? kErrorColor : kWarningColor));
                    FillRect(dc, &strip, markFill);
                }
                SetTextColor(dc, mark ? (mark->error ? kErrorColor : kWarningColor) : kNumberColor);
                if (row == rows.first)
                    view.firstNumber = line.line;
                const std::wstring number = std::to_wstring(line.line);
                RECT place = {0, top, client.right - 4, top + rows.height};
                DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &place, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
            }
            offset = next;
        }
    }
    EndPaint(gutter, &paint);
}

LRESULT CALLBACK GutterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintGutter(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        // A click on the numbers puts the keyboard back in the editor.
        if (hEdit)
            SetFocus(hEdit);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RepaintGutter()
{
    if (hGutter) {
        InvalidateRect(hGutter, nullptr, FALSE);
        UpdateWindow(hGutter);
    }
}

// -------- colours over the control's painting

bool SelectionDrawn(HWND edit)
{
    return GetFocus() == edit || (GetWindowLongW(edit, GWL_STYLE) & ES_NOHIDESEL) != 0;
}

// Where each character of a row stands, and where the row's text ends: between tabs the font's
// advances from the piece's start, after a tab where the control says.
std::vector<int> RowPositions(HWND edit, HDC dc, std::u16string_view text, std::size_t start, std::size_t end,
                              int left)
{
    std::vector<int> xs(end - start + 1, left);
    std::vector<INT> extents;
    std::size_t i = start;
    while (i < end) {
        if (text[i] == u'\t') {
            const int after = i + 1 < end ? PositionOf(edit, i + 1).x : xs[i - start];
            xs[i + 1 - start] = std::max(after, xs[i - start]);
            ++i;
            continue;
        }
        const std::size_t tab = text.substr(0, end).find(u'\t', i);
        const std::size_t pieceEnd = tab == std::u16string_view::npos ? end : tab;
        const int pieceX = xs[i - start];
        extents.assign(pieceEnd - i, 0);
        SIZE size = {};
        GetTextExtentExPointW(dc, AsWide(text.data() + i), static_cast<int>(pieceEnd - i), 0, nullptr, extents.data(),
                              &size);
        for (std::size_t k = i; k < pieceEnd; ++k)
            xs[k + 1 - start] = pieceX + extents[k - i];
        i = pieceEnd;
    }
    return xs;
}

// The control draws a row item by item, as the script analysis splits it (letters apart from
// punctuation and digits), each over its own background: a letter's edge reaching into the next
// item is covered by it. The colours are drawn the same way, so that the pixels are the
// control's own.
std::vector<std::size_t> ItemStarts(std::u16string_view text, std::size_t start, std::size_t end)
{
    std::vector<std::size_t> starts;
    const int length = static_cast<int>(end - start);
    std::vector<SCRIPT_ITEM> items(static_cast<std::size_t>(length) + 2);
    int count = 0;
    if (length > 0 && SUCCEEDED(ScriptItemize(AsWide(text.data() + start), length, length + 1, nullptr, nullptr,
                                              items.data(), &count))) {
        for (int k = 0; k < count; ++k)
            starts.push_back(start + static_cast<std::size_t>(items[static_cast<std::size_t>(k)].iCharPos));
    }
    if (starts.empty() || starts.front() != start)
        starts.insert(starts.begin(), start);
    starts.push_back(end);
    return starts;
}

struct RowLayout {
    std::vector<int> xs;
    std::vector<std::size_t> items;
};

// A row's positions and items stay while the row starts do (the same text, font and width).
struct RowLayouts {
    unsigned textVersion = 0;
    HFONT font = nullptr;
    LONG width = -1;
    std::unordered_map<std::size_t, RowLayout> rows;
};
RowLayouts rowLayouts;

const RowLayout& LayoutOfRow(HWND edit, HDC dc, std::u16string_view text, std::size_t start, std::size_t end, int left)
{
    if (rowLayouts.textVersion != rowStarts.textVersion || rowLayouts.font != rowStarts.font ||
        rowLayouts.width != rowStarts.width || rowLayouts.rows.size() > 4000)
        rowLayouts = {rowStarts.textVersion, rowStarts.font, rowStarts.width, {}};
    const auto kept = rowLayouts.rows.find(start);
    if (kept != rowLayouts.rows.end() && kept->second.xs.size() == end - start + 1)
        return kept->second;
    RowLayout& layout = rowLayouts.rows[start];
    layout.xs = RowPositions(edit, dc, text, start, end, left);
    layout.items = ItemStarts(text, start, end);
    return layout;
}

// One row of the control: its characters from start to end (its break left out). The rows
// that hold no coloured token are left as the control drew them.
void PaintRow(HWND edit, HDC dc, std::u16string_view text, std::size_t start, std::size_t end, int top,
              const Rows& rows, const std::vector<CodeToken>& tokens, Selection selection, bool selectionDrawn)
{
    auto token = std::lower_bound(tokens.begin(), tokens.end(), start,
                                  [](const CodeToken& t, std::size_t at) { return t.start + t.length <= at; });
    if (token == tokens.end() || token->start >= end)
        return;
    const RowLayout& layout = LayoutOfRow(edit, dc, text, start, end, rows.format.left);
    const std::vector<int>& xs = layout.xs;
    const auto xAt = [&](std::size_t at) { return xs[at - start]; };
    const bool hasSelection = selectionDrawn && selection.start < end && selection.end > start;
    // Changing the clip costs more than drawing a row, so only a row with a selection has one.
    const int saved = hasSelection ? SaveDC(dc) : 0;
    if (hasSelection) {
        const std::size_t from = std::max<std::size_t>(selection.start, start);
        const std::size_t to = std::min<std::size_t>(selection.end, end);
        ExcludeClipRect(dc, xAt(from), top, xAt(to), top + rows.height);
    }
    SetBkColor(dc, backgroundColor);
    RECT tail = {xAt(end), top, rows.format.right, top + rows.height};
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &tail, nullptr, 0, nullptr);
    const std::vector<std::size_t>& items = layout.items;
    for (std::size_t item = 0; item + 1 < items.size(); ++item) {
        const std::size_t itemEnd = items[item + 1];
        RECT cell = {xAt(items[item]), top, xAt(itemEnd), top + rows.height};
        // The item's background goes with its first piece of text, in one call.
        bool filled = false;
        for (std::size_t i = items[item]; i < itemEnd;) {
            while (token != tokens.end() && token->start + token->length <= i)
                ++token;
            const bool inToken = token != tokens.end() && token->start <= i;
            std::size_t runEnd = std::min(itemEnd, inToken ? token->start + token->length
                                                           : token != tokens.end() ? token->start : itemEnd);
            const std::size_t tab = text.substr(0, runEnd).find(u'\t', i);
            if (tab == i)
                runEnd = i + 1;
            else if (tab != std::u16string_view::npos)
                runEnd = tab;
            const std::u16string_view piece = text.substr(i, runEnd - i);
            if (piece.find_first_not_of(u" \t") != std::u16string_view::npos) {
                SetTextColor(dc, inToken && view.colours == CodeColours::Scheme ? CodeColourOf(token->kind) : textColor);
                ExtTextOutW(dc, xAt(i), top, filled ? 0 : ETO_OPAQUE, filled ? nullptr : &cell, AsWide(piece.data()),
                            static_cast<UINT>(piece.size()), nullptr);
                filled = true;
            }
            i = runEnd;
        }
        if (!filled)
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
    }
    if (saved)
        RestoreDC(dc, saved);
}

void PaintColours(HWND edit, HRGN painted)
{
    if (view.colours == CodeColours::Off)
        return;
    RECT box = {};
    if (GetRgnBox(painted, &box) == NULLREGION)
        return;
    HDC dc = GetDC(edit);
    if (!dc)
        return;
    HideCaret(edit);
    {
        ScopedSelectObject font(dc, EditorFont(edit));
        const Rows rows = RowsOf(edit, dc);
        const int firstRow = rows.first + std::max(0, (static_cast<int>(box.top) - rows.top) / rows.height);
        const int lastRow = std::min(rows.count - 1, rows.first + (static_cast<int>(box.bottom) - rows.top - 1) / rows.height);
        if (firstRow <= lastRow) {
            SelectClipRgn(dc, painted);
            SetBkMode(dc, TRANSPARENT);
            const Selection selection = SelectionOf(edit);
            const bool selectionDrawn = SelectionDrawn(edit) && selection.start != selection.end;
            const EditControlText text(edit);
            const std::u16string_view source = text.view();
            std::vector<std::size_t> starts;
            for (int row = firstRow; row <= lastRow + 1; ++row)
                starts.push_back(row < rows.count ? LineIndex(edit, row) : source.size());
            const LineStartState from = view.scan.LineStartAt(source, starts.front());
            const std::size_t to = LineEndAt(source, starts.back() > 0 ? starts.back() - 1 : 0);
            std::vector<CodeToken> tokens;
            ScanCode(source, from.offset, to, from.state, &tokens);
            for (int row = firstRow; row <= lastRow; ++row) {
                const std::size_t start = starts[static_cast<std::size_t>(row - firstRow)];
                const std::size_t end = std::min(LineEndAt(source, start), starts[static_cast<std::size_t>(row - firstRow + 1)]);
                PaintRow(edit, dc, source, start, end, rows.top + (row - rows.first) * rows.height, rows, tokens,
                         selection, selectionDrawn);
            }
        }
    }
    ShowCaret(edit);
    ReleaseDC(edit, dc);
}

// The control's rows from the one holding `from` to the one holding `to` (to the view's end
// when `to` is none), to be painted again.
void RepaintRows(HWND edit, std::size_t from, std::optional<std::size_t> to)
{
    const int first = static_cast<int>(Ask(edit, EM_GETFIRSTVISIBLELINE));
    const int row = static_cast<int>(Ask(edit, EM_LINEFROMCHAR, from));
    RECT format = {};
    Ask(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    int height = 16;
    if (ScopedMemoryDC dc; dc) {
        ScopedSelectObject font(dc, EditorFont(edit));
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        height = std::max<int>(1, metrics.tmHeight);
    }
    RECT rows = format;
    rows.top = std::max<LONG>(format.top, format.top + (row - first) * height);
    if (to) {
        const int lastRow = static_cast<int>(Ask(edit, EM_LINEFROMCHAR, *to));
        rows.bottom = std::min<LONG>(format.bottom, format.top + (lastRow - first + 1) * height);
    }
    if (rows.top < rows.bottom)
        InvalidateRect(edit, &rows, FALSE);
}

// -------- following a change of the text

// The text changed from `start`: what stood before `oldEnd` now stands before `newEnd`.
void FollowChange(std::size_t start, std::size_t oldEnd, std::size_t newEnd, bool insertedLineBreak)
{
    view.scan.Forget(start);
    const std::ptrdiff_t shift = static_cast<std::ptrdiff_t>(newEnd) - static_cast<std::ptrdiff_t>(oldEnd);
    const bool pureInsertion = oldEnd == start && insertedLineBreak;
    const std::size_t before = view.marks.size();
    std::erase_if(view.marks, [&](CompilerMark& mark) {
        if (mark.lineEnd < start)
            return false;
        if (mark.lineStart > oldEnd || (pureInsertion && mark.lineStart == start)) {
            mark.lineStart = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(mark.lineStart) + shift);
            mark.lineEnd = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(mark.lineEnd) + shift);
            return false;
        }
        return true;
    });
    if (view.marks.size() != before)
        view.currentMark = -1;
}

void ForgetEverything()
{
    view.scan.Clear();
    view.marks.clear();
    view.currentMark = -1;
}

// The messages after which the selection may be drawn elsewhere.
bool MayChangeSelection(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_TIMER:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case EM_SETSEL:
        return true;
    default:
        return false;
    }
}

bool MayChangeText(UINT message)
{
    switch (message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
        return true;
    default:
        return false;
    }
}

// The messages after which the view may show other lines.
bool MayScroll(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_TIMER:
    case WM_SIZE:
    case WM_SETFONT:
    case WM_SETTEXT:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_SETSEL:
    case EM_REPLACESEL:
    case EM_SCROLLCARET:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case WM_IME_CHAR:
        return true;
    default:
        return false;
    }
}

// An edit control may draw a changed selection at once rather than when it next paints, in
// the text colour: the rows where the selection's ends moved take their colours again.
void FollowSelection(HWND edit, std::size_t oldStart, std::size_t oldEnd, bool focusChanged)
{
    const Selection now = SelectionOf(edit);
    const std::size_t start = std::min(now.start, now.end);
    const std::size_t end = std::max(now.start, now.end);
    const bool drawnBefore = oldStart != oldEnd;
    const bool drawnNow = start != end;
    if (!drawnBefore && !drawnNow)
        return;
    if (focusChanged) {
        RepaintRows(edit, start, end);
        return;
    }
    if (start != oldStart)
        RepaintRows(edit, std::min(start, oldStart), std::max(start, oldStart));
    if (end != oldEnd)
        RepaintRows(edit, std::min(end, oldEnd), std::max(end, oldEnd));
}

struct GutterShown {
    int first = -1;
    int count = -1;
};
GutterShown gutterShown;

void FollowScroll(HWND edit)
{
    const GutterShown now = {static_cast<int>(Ask(edit, EM_GETFIRSTVISIBLELINE)),
                             static_cast<int>(Ask(edit, EM_GETLINECOUNT))};
    if (now.first == gutterShown.first && now.count == gutterShown.count)
        return;
    gutterShown = now;
    RepaintGutter();
}

std::size_t LineStartAfter(std::u16string_view text, std::size_t offset)
{
    const std::size_t lineBreak = text.find(u'\n', std::min(offset, text.size()));
    return lineBreak == std::u16string_view::npos ? text.size() : lineBreak + 1;
}

// Where the pane's line stands, when it still holds the message.
bool PaneStillHolds(const CompilerMark& mark)
{
    const std::optional<std::wstring> pane = TakeWindowText(hOutput);
    return pane && pane->compare(mark.paneOffset, mark.paneLine.size(), mark.paneLine) == 0;
}

}  // namespace

CodeViewWatch::CodeViewWatch(HWND edit, UINT message, WPARAM wParam, LPARAM)
    : edit_(edit), message_(message), wParam_(wParam)
{
    if (view.querying || edit != hEdit)
        return;
    active_ = true;
    changes_ = view.changes;
    if (message == WM_PAINT) {
        painted_ = CreateRectRgn(0, 0, 0, 0);
        if (painted_ && GetUpdateRgn(edit, painted_, FALSE) == ERROR) {
            DeleteObject(painted_);
            painted_ = nullptr;
        }
        return;
    }
    if (!MayChangeText(message) && !MayChangeSelection(message))
        return;
    const Selection selection = SelectionOf(edit);
    selectionStart_ = std::min(selection.start, selection.end);
    selectionEnd_ = std::max(selection.start, selection.end);
    if (!MayChangeText(message))
        return;
    length_ = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    // A key deletes at most a line break after the selection; the text from the next line
    // start on stays, and its state tells whether the rows below need their colours again.
    const EditControlText text(edit);
    followingLine_ = LineStartAfter(text.view(), selectionEnd_ + 2);
    followingState_ = view.scan.LineStartAt(text.view(), followingLine_).state;
}

CodeViewWatch::~CodeViewWatch()
{
    if (!active_)
        return;
    if (message_ == WM_PAINT) {
        if (painted_) {
            PaintColours(edit_, painted_);
            DeleteObject(painted_);
        }
        return;
    }
    if (message_ == WM_SETTEXT) {
        ++view.changes;
        ForgetEverything();
        FitGutter(edit_);
        gutterShown = {};
    } else if (message_ == WM_SETFONT) {
        FitGutter(edit_);
        gutterShown = {};
    } else if (MayChangeText(message_) && view.changes != changes_) {
        const Selection selection = SelectionOf(edit_);
        const std::size_t length = static_cast<std::size_t>(GetWindowTextLengthW(edit_));
        const std::size_t start = std::min<std::size_t>(selectionStart_, std::min(selection.start, selection.end));
        const std::size_t newEnd = std::max<std::size_t>(start, std::max(selection.start, selection.end));
        const std::ptrdiff_t grown = static_cast<std::ptrdiff_t>(length) - static_cast<std::ptrdiff_t>(length_);
        const std::ptrdiff_t oldEnd = static_cast<std::ptrdiff_t>(newEnd) - grown;
        bool insertedLineBreak = false;
        bool statesDiffer = true;
        {
            const EditControlText text(edit_);
            const std::u16string_view source = text.view();
            insertedLineBreak = newEnd > start && newEnd <= source.size() && source[newEnd - 1] == u'\n';
            if (oldEnd >= static_cast<std::ptrdiff_t>(start) && static_cast<std::size_t>(oldEnd) <= followingLine_) {
                FollowChange(start, static_cast<std::size_t>(oldEnd), newEnd, insertedLineBreak);
                const std::size_t following = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(followingLine_) + grown);
                statesDiffer = following > source.size() || view.scan.LineStartAt(source, following).state != followingState_;
            } else {
                ForgetEverything();
            }
        }
        // The rows of the change take their colours again whole, and the rows below too when a
        // comment or a string now reaches further or less far.
        if (view.colours != CodeColours::Off)
            RepaintRows(edit_, start, statesDiffer ? std::nullopt : std::optional<std::size_t>(newEnd));
        FitGutter(edit_);
        gutterShown = {};
    } else if (view.changes != changes_) {
        // A change the view cannot place: everything is found again.
        ForgetEverything();
        InvalidateRect(edit_, nullptr, FALSE);
        FitGutter(edit_);
        gutterShown = {};
    } else if (view.colours != CodeColours::Off && (MayChangeText(message_) || MayChangeSelection(message_))) {
        FollowSelection(edit_, selectionStart_, selectionEnd_, message_ == WM_SETFOCUS || message_ == WM_KILLFOCUS);
    }
    if (message_ == WM_KEYDOWN && wParam_ == VK_F4)
        GoToCompilerMessage((GetKeyState(VK_SHIFT) & 0x8000) == 0);
    if (MayScroll(message_))
        FollowScroll(edit_);
}

void InstallCodeView(HWND edit, HWND parent)
{
    WNDCLASSW gutterClass = {};
    gutterClass.lpfnWndProc = GutterProc;
    gutterClass.hInstance = GetModuleHandleW(nullptr);
    gutterClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    gutterClass.lpszClassName = kGutterClass;
    RegisterClassW(&gutterClass);
    RECT place = {};
    GetWindowRect(edit, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    hGutter = CreateWindowExW(0, kGutterClass, L"", WS_CHILD | WS_VISIBLE, place.left, place.top, 0,
                              place.bottom - place.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    FitGutter(edit);
}

void NoteCodeViewTextChanged()
{
    ++view.changes;
}

void MarkCompilerMessages()
{
    ForgetEverything();
    try {
        const std::optional<std::wstring> pane = TakeWindowText(hOutput);
        if (pane && hEdit) {
            const EditControlText text(hEdit);
            const std::u16string_view source = text.view();
            const std::u16string_view output = AsUtf16View(*pane);
            for (std::size_t start = 0; start < output.size();) {
                const std::size_t lineEnd = LineEndAt(output, start);
                const std::u16string_view line = output.substr(start, lineEnd - start);
                const std::optional<SourcePosition> position = ParseCompilerMessage(line);
                const MessageSeverity severity = SeverityOfCompilerMessage(line);
                if (position && severity != MessageSeverity::Other && NamesTheEditorsSource(position->file)) {
                    const std::size_t lineStart = OffsetOfPosition(source, {position->line, 1, {}});
                    view.marks.push_back({lineStart, LineEndAt(source, lineStart), position->column,
                                          severity == MessageSeverity::Error, start,
                                          std::wstring(pane->data() + start, line.size())});
                }
                start = LineStartAfter(output, lineEnd);
            }
        }
    } catch (const std::bad_alloc&) {
        view.marks.clear();
    }
    RepaintGutter();
}

bool GoToCompilerMessage(bool forward)
{
    if (view.marks.empty() || !hEdit)
        return false;
    const int count = static_cast<int>(view.marks.size());
    if (view.currentMark < 0 || view.currentMark >= count)
        view.currentMark = forward ? 0 : count - 1;
    else
        view.currentMark = (view.currentMark + (forward ? 1 : count - 1)) % count;
    const CompilerMark& mark = view.marks[static_cast<std::size_t>(view.currentMark)];
    std::size_t caret = mark.lineStart;
    {
        const EditControlText text(hEdit);
        const std::u16string_view source = text.view();
        if (mark.lineStart <= source.size())
            caret += OffsetOfPosition(source.substr(mark.lineStart, mark.lineEnd - mark.lineStart), {1, mark.column, {}});
    }
    SendMessageW(hEdit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendMessageW(hEdit, EM_SCROLLCARET, 0, 0);
    if (hOutput && PaneStillHolds(mark)) {
        SendMessageW(hOutput, EM_SETSEL, mark.paneOffset, static_cast<LPARAM>(mark.paneOffset + mark.paneLine.size()));
        SendMessageW(hOutput, EM_SCROLLCARET, 0, 0);
    }
    return true;
}

// Each about as bright against black as white is against it, so that it reads on a dark
// background and on a light one alike (a contrast of at least 4 to 1 with black and with white).
COLORREF CodeColourOf(TokenKind kind)
{
    return SchemeColourOf(kind);
}

std::size_t GutterFirstNumber()
{
    return view.firstNumber;
}

void ShowCodeColours(CodeColours colours)
{
    view.colours = colours;
    if (hEdit)
        InvalidateRect(hEdit, nullptr, FALSE);
}
