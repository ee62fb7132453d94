#include "output/console_pane.h"

#include <optional>

#include "output/output_pane.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

namespace {

// A console gives a program its input in the OEM code page.
std::string InOemCodePage(const std::wstring& text)
{
    if (text.empty())
        return {};
    std::string bytes(text.size() * 4, '\0');
    const int length = WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return bytes;
}

}  // namespace

ConsolePane::ConsolePane(FirstOutput first, InputWriter& input) : input_(input)
{
    if (first == FirstOutput::Follows) {
        shownAny_ = true;
        const std::optional<std::wstring> earlier = TakeWindowText(hOutput);
        // "Kompilowanie" has no line break after it.
        needsBreak_ = earlier && !earlier->empty() && earlier->back() != L'\n';
    }
}

void ConsolePane::Show(std::wstring text)
{
    if (text.empty())
        return;
    if (needsBreak_) {
        text = L"\r\n" + text;
        needsBreak_ = false;
    }
    if (!shownAny_) {
        SetOutputText(text + typed_);
        shownAny_ = true;
    } else if (typed_.empty()) {
        AppendOutputText(text);
    } else {
        ReplaceOutputEnd(TypedStart(), text + typed_);
    }
    atLineStart_ = text.back() == L'\n';
}

void ConsolePane::EndInput()
{
    if (!typed_.empty())
        atLineStart_ = false;
    typed_.clear();
}

void ConsolePane::ShowLine(const std::wstring& line)
{
    Show(atLineStart_ || needsBreak_ || !shownAny_ ? line : L"\r\n" + line);
}

void ConsolePane::Key(wchar_t c)
{
    if (!input_.IsOpen())
        return;
    switch (c) {
    case 0x08:  // Backspace
        if (!typed_.empty()) {
            const std::size_t cut = typed_.size() >= 2 && IS_LOW_SURROGATE(typed_.back()) ? 2 : 1;
            const std::size_t start = TypedStart();
            typed_.erase(typed_.end() - static_cast<std::ptrdiff_t>(cut), typed_.end());
            ReplaceOutputEnd(start, typed_);
        }
        return;
    case 0x16:  // Ctrl+V
        Paste();
        return;
    case 0x1A:  // Ctrl+Z: what is typed goes without a line break, then the input ends
        Type(L"^Z\r\n", false);
        return;
    default:
        if (c == L'\r' || c >= L' ')
            Type(std::wstring(1, c), true);
        return;
    }
}

std::size_t ConsolePane::TypedStart() const
{
    const auto length = static_cast<std::size_t>(GetWindowTextLengthW(hOutput));
    return length >= typed_.size() ? length - typed_.size() : 0;
}

// Adds the text to the input line; every line break sends the line so far, with CR LF.
// Without `open` the text ends the input instead.
void ConsolePane::Type(std::wstring_view text, bool open)
{
    if (!shownAny_) {
        SetOutputText(L"");
        shownAny_ = true;
        atLineStart_ = true;
    }
    std::wstring echo;
    if (needsBreak_) {
        echo = L"\r\n";
        needsBreak_ = false;
    }
    for (std::size_t i = 0; i < text.size() && open; ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
            input_.Send(InOemCodePage(typed_ + L"\r\n"));
            typed_.clear();
            echo += L"\r\n";
            atLineStart_ = true;
        } else if (c >= L' ' || c == L'\t') {
            typed_ += c;
            echo += c;
        }
    }
    if (!open) {
        input_.Send(InOemCodePage(typed_));
        input_.Close();
        typed_.clear();
        echo += text;
        atLineStart_ = true;
    }
    AppendOutputText(echo);
}

void ConsolePane::Paste()
{
    if (const std::optional<std::wstring> text = ClipboardText(hOutput))
        Type(*text, true);
}
