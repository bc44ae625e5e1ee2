#pragma once

#include <string>
#include <string_view>

// Where QUORVANE_DRIVES (see scripts/wine-run) maps a drive name such as "x::" or "y:", as a
// Windows path through Z:, the Linux root; empty when the name is not mapped.
std::wstring mappedDriveTarget(std::wstring_view name);
