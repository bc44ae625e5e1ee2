#include "debug_output.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>

void debugLine(const wchar_t* format, ...)
{
    wchar_t line[256] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vswprintf(line, 256, format, arguments);
    va_end(arguments);
    OutputDebugStringW(line);
}
