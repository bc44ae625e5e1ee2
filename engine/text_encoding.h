#pragma once

#include <optional>
#include <string>
#include <string_view>

// The one pair of narrow/wide conversions. The default code page is the process's ANSI one.
// An empty input gives an empty text; a conversion the platform refuses gives nothing.
constexpr unsigned ansiCodePage = 0;   // CP_ACP
constexpr unsigned utf8CodePage = 65001;   // CP_UTF8

std::optional<std::wstring> toWide(std::string_view text, unsigned codePage = ansiCodePage);
std::optional<std::string> toNarrow(std::wstring_view text, unsigned codePage = ansiCodePage);
