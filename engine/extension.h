#pragma once

#include <string>
#include <string_view>

// The text from the last dot to the end, dot included, with only A to Z lowered
// (bytes and code units outside ASCII are kept as they are); empty without a dot.
template <typename Char>
std::basic_string<Char> lowerAsciiExtension(std::basic_string_view<Char> name)
{
    const auto dot = name.rfind(Char('.'));
    if (dot == std::basic_string_view<Char>::npos) {
        return {};
    }
    std::basic_string<Char> extension(name.substr(dot));
    for (Char& c : extension) {
        if (c >= Char('A') && c <= Char('Z')) {
            c = Char(c - Char('A') + Char('a'));
        }
    }
    return extension;
}

inline std::string lowerAsciiExtension(const std::string& name)
{
    return lowerAsciiExtension(std::string_view(name));
}

inline std::wstring lowerAsciiExtension(const std::wstring& name)
{
    return lowerAsciiExtension(std::wstring_view(name));
}
