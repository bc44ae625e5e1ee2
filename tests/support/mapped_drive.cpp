#include "mapped_drive.h"

#include <windows.h>

#include <algorithm>

std::wstring mappedDriveTarget(std::wstring_view name)
{
    wchar_t value[4096] = {};
    const DWORD length = GetEnvironmentVariableW(L"QUORVANE_DRIVES", value, 4096);
    if (length == 0 || length >= 4096) {
        return {};
    }
    const std::wstring drives(value, length);
    const std::wstring key = std::wstring(name) + L"=";
    for (size_t start = 0; start <= drives.size();) {
        size_t end = drives.find(L';', start);
        if (end == std::wstring::npos) {
            end = drives.size();
        }
        const std::wstring_view drive(drives.data() + start, end - start);
        if (drive.starts_with(key)) {
            std::wstring target = L"Z:" + std::wstring(drive.substr(key.size()));
            std::replace(target.begin(), target.end(), L'/', L'\\');
            return target;
        }
        start = end + 1;
    }
    return {};
}
