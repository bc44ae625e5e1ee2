#pragma once

#include <string>
#include <string_view>

// A name that would leave the target folder or name the folder itself: empty, ".", "..",
// or holding "\", "/" or ":".
bool isRefusedCopyName(std::wstring_view name);

// The name for the nth copy: the name itself for 1, then "name (2).ext", "name (3).ext", ...
// The number goes before the last dot; a name whose only dot leads it gets the number at its end.
std::wstring numberedCopyName(std::wstring_view name, unsigned number);
