#pragma once

// One line to the debugger output, formatted like printf into 256 wide characters.
void debugLine(const wchar_t* format, ...);
