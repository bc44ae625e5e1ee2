#pragma once

#include <string>

// A folder that a CTest fixture made on the Linux side, named by an environment variable that
// holds its Linux path, as a Windows path through Z:, the Linux root; empty when the variable is
// not set.
std::wstring fixtureFolder(const wchar_t* variable);
