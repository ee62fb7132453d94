#include "files/recovery_copy.h"

#include <charconv>

namespace {

constexpr std::u16string_view kFormatLine = u"Skoczek: kopia niezapisanego tekstu 1";
constexpr std::u16string_view kFileField = u"plik: ";
constexpr std::u16string_view kTimeField = u"czas: ";
constexpr std::u16string_view kLengthField = u"znaki: ";
constexpr std::u16string_view kFreshPrefix = u"kopia-";
constexpr std::u16string_view kDeclinedPrefix = u"odlozona-";
constexpr std::u16string_view kExtension = u".txt";

void AppendUnits(std::vector<std::uint8_t>& bytes, std::u16string_view units)
{
    for (char16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
}

std::u16string Ascii(std::string_view text)
{
    return {text.begin(), text.end()};
}

template <typename Number>
std::u16string Digits(Number value, int base)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, base).ptr;
    return Ascii({buffer, static_cast<std::size_t>(end - buffer)});
}

// The whole of `text` as a number in `base`, nothing before or after it.
template <typename Number>
std::optional<Number> ParseNumber(std::u16string_view text, int base)
{
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    std::string narrow;
    for (char16_t unit : text) {
        if (unit > 0x7F)
            return std::nullopt;
        narrow += static_cast<char>(unit);
    }
    Number value = 0;
    const auto [end, error] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value, base);
    if (error != std::errc() || end != narrow.data() + narrow.size())
        return std::nullopt;
    return value;
}

// Takes the next line off `rest`; nullopt when no line break is left.
std::optional<std::u16string_view> NextLine(std::u16string_view& rest)
{
    const std::size_t end = rest.find(u'\n');
    if (end == std::u16string_view::npos)
        return std::nullopt;
    const std::u16string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return line;
}

std::optional<std::u16string_view> Field(std::u16string_view& rest, std::u16string_view name)
{
    const std::optional<std::u16string_view> line = NextLine(rest);
    if (!line || !line->starts_with(name))
        return std::nullopt;
    return line->substr(name.size());
}

bool HasLineBreak(std::u16string_view text)
{
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

}  // namespace

std::vector<std::uint8_t> RecoveryCopyBytes(const RecoveryCopy& copy)
{
    std::vector<std::uint8_t> bytes{0xFF, 0xFE};
    bytes.reserve(2 * (copy.text.size() + copy.file.size() + 128));
    std::u16string header(kFormatLine);
    // A path or time never holds a line break; one that did would end its field early.
    header += u'\n';
    header += kFileField;
    header += HasLineBreak(copy.file) ? std::u16string() : copy.file;
    header += u'\n';
    header += kTimeField;
    header += HasLineBreak(copy.time) ? std::u16string() : copy.time;
    header += u'\n';
    header += kLengthField;
    header += Digits(copy.text.size(), 10);
    header += u"\n\n";
    AppendUnits(bytes, header);
    AppendUnits(bytes, copy.text);
    return bytes;
}

std::optional<RecoveryCopy> ReadRecoveryCopy(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        return std::nullopt;
    std::u16string units((bytes.size() - 2) / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(bytes[2 + 2 * i] | (bytes[3 + 2 * i] << 8));
    std::u16string_view rest = units;
    const std::optional<std::u16string_view> format = NextLine(rest);
    if (!format || *format != kFormatLine)
        return std::nullopt;
    const std::optional<std::u16string_view> file = Field(rest, kFileField);
    const std::optional<std::u16string_view> time = file ? Field(rest, kTimeField) : std::nullopt;
    const std::optional<std::u16string_view> length = time ? Field(rest, kLengthField) : std::nullopt;
    const std::optional<std::u16string_view> empty = length ? NextLine(rest) : std::nullopt;
    if (!empty || !empty->empty() || HasLineBreak(*file) || HasLineBreak(*time))
        return std::nullopt;
    const std::optional<std::size_t> count = ParseNumber<std::size_t>(*length, 10);
    if (!count || *count != rest.size())
        return std::nullopt;
    return RecoveryCopy{std::u16string(*file), std::u16string(*time), std::u16string(rest)};
}

std::u16string RecoveryFileName(const RecoveryCopyName& name)
{
    std::u16string text(name.declined ? kDeclinedPrefix : kFreshPrefix);
    text += Digits(name.session.process, 10);
    text += u'-';
    text += Digits(name.session.started, 16);
    text += kExtension;
    return text;
}

std::optional<RecoveryCopyName> ParseRecoveryFileName(std::u16string_view name)
{
    RecoveryCopyName parsed;
    if (name.starts_with(kDeclinedPrefix)) {
        parsed.declined = true;
        name.remove_prefix(kDeclinedPrefix.size());
    } else if (name.starts_with(kFreshPrefix)) {
        name.remove_prefix(kFreshPrefix.size());
    } else {
        return std::nullopt;
    }
    if (!name.ends_with(kExtension))
        return std::nullopt;
    name.remove_suffix(kExtension.size());
    const std::size_t dash = name.find(u'-');
    if (dash == std::u16string_view::npos)
        return std::nullopt;
    const std::optional<std::uint32_t> process = ParseNumber<std::uint32_t>(name.substr(0, dash), 10);
    const std::optional<std::uint64_t> started = ParseNumber<std::uint64_t>(name.substr(dash + 1), 16);
    if (!process || !started)
        return std::nullopt;
    parsed.session = {*process, *started};
    // Only the name the writer gives: no leading zeros or other spellings of the same numbers.
    if (RecoveryFileName(parsed) != std::u16string(parsed.declined ? kDeclinedPrefix : kFreshPrefix) +
                                        std::u16string(name) + std::u16string(kExtension))
        return std::nullopt;
    return parsed;
}
