#include "fixture_folder.h"

#include <windows.h>

#include <algorithm>

std::wstring fixtureFolder(const wchar_t* variable)
{
    wchar_t value[4096] = {};
    const DWORD length = GetEnvironmentVariableW(variable, value, 4096);
    if (length == 0 || length >= 4096 || value[0] != L'/') {
        return {};
    }
    std::wstring folder = L"Z:" + std::wstring(value, length);
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    return folder;
}
