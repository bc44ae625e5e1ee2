#pragma once

#include <string_view>

// The engine's diagnostic lines. Each call writes one line, ends it and flushes.
namespace diag {

void out(std::string_view line);     // standard output
void error(std::string_view line);   // standard error
void wide(std::wstring_view line);   // wide standard output, reaching the stream as UTF-8

} // namespace diag
