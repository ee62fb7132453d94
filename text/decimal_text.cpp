#include "text/decimal_text.h"

#include <algorithm>

namespace {

class BoundedWriter {
public:
    explicit BoundedWriter(std::span<char16_t> out) : out_(out) {}

    void Put(std::u16string_view text)
    {
        const std::size_t room = out_.size() - 1 - length_;
        const std::size_t kept = std::min(room, text.size());
        std::copy_n(text.begin(), kept, out_.begin() + static_cast<std::ptrdiff_t>(length_));
        length_ += kept;
    }

    std::size_t Finish()
    {
        out_[length_] = u'\0';
        return length_;
    }

private:
    std::span<char16_t> out_;
    std::size_t length_ = 0;
};

}  // namespace

std::u16string DecimalText(std::uint64_t value)
{
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

std::size_t FormatWithCode(std::u16string_view format, std::uint32_t code, std::span<char16_t> out)
{
    if (out.empty())
        return 0;

    char16_t digits[10];
    std::size_t first = sizeof digits / sizeof digits[0];
    do {
        digits[--first] = static_cast<char16_t>(u'0' + code % 10);
        code /= 10;
    } while (code != 0);
    const std::u16string_view number(digits + first, sizeof digits / sizeof digits[0] - first);

    BoundedWriter writer(out);
    const std::size_t at = format.find(u"%lu");
    if (at == std::u16string_view::npos) {
        writer.Put(format);
    } else {
        writer.Put(format.substr(0, at));
        writer.Put(number);
        writer.Put(format.substr(at + 3));
    }
    return writer.Finish();
}
