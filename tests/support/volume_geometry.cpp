#include "volume_geometry.h"

#include "unique_handle.h"

#include <windows.h>
#include <winioctl.h>

#include <string>

std::optional<VolumeGeometry> volumeGeometry(wchar_t driveLetter)
{
    const std::wstring device = std::wstring(L"\\\\.\\") + driveLetter + L":";
    FileHandle volume(CreateFileW(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!volume) {
        return std::nullopt;
    }
    DISK_GEOMETRY_EX geometry{};
    DWORD returned = 0;
    if (!DeviceIoControl(volume.get(), IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry, sizeof(geometry),
                         &returned, nullptr) ||
        geometry.Geometry.BytesPerSector == 0) {
        return std::nullopt;
    }
    return VolumeGeometry{static_cast<std::uint64_t>(geometry.DiskSize.QuadPart), geometry.Geometry.BytesPerSector};
}
