#include "sector_reader.h"

#include "log.h"

#include <windows.h>

FileHandle SectorReader::openDevice(const std::string& path) const
{
    constexpr DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
    constexpr DWORD rawFlags = FILE_FLAG_OVERLAPPED | FILE_FLAG_NO_BUFFERING | FILE_FLAG_RANDOM_ACCESS;
    FileHandle device(CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, rawFlags, nullptr));
    if (!device) {
        diag::out("第一次尝试失败，尝试使用不同的标志...");
        device.reset(CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    return device;
}

bool SectorReader::canOpenDevice(const std::string& path) const
{
    return openDevice(path).valid();
}
