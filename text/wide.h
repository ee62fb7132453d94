#pragma once
// wchar_t on Windows is UTF-16 like char16_t; these are the only casts between the two.

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline const wchar_t* AsWide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

inline wchar_t* AsWide(char16_t* text)
{
    return reinterpret_cast<wchar_t*>(text);
}

inline const wchar_t* AsWide(const std::u16string& text)
{
    return AsWide(text.c_str());
}

inline const char16_t* AsUtf16(const wchar_t* text)
{
    return reinterpret_cast<const char16_t*>(text);
}

inline char16_t* AsUtf16(wchar_t* text)
{
    return reinterpret_cast<char16_t*>(text);
}

inline std::u16string_view AsUtf16View(const wchar_t* text, std::size_t length)
{
    return {AsUtf16(text), length};
}

inline std::u16string_view AsUtf16View(const std::wstring& text)
{
    return AsUtf16View(text.c_str(), text.size());
}

inline std::wstring AsWideString(const std::u16string& text)
{
    return {AsWide(text.c_str()), text.size()};
}
