#include "text_encoding.h"

#include <windows.h>

std::optional<std::wstring> toWide(std::string_view text, unsigned codePage)
{
    if (text.empty()) {
        return std::wstring();
    }
    const int inputLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), inputLength, nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), inputLength, wide.data(), length);
    return wide;
}

std::optional<std::string> toNarrow(std::wstring_view text, unsigned codePage)
{
    if (text.empty()) {
        return std::string();
    }
    const int inputLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), inputLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::nullopt;
    }
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), inputLength, narrow.data(), length, nullptr, nullptr);
    return narrow;
}
