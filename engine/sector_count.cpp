#include "sector_reader.h"

#include "log.h"
#include "raw_device_path.h"
#include "sector_math.h"
#include "text_encoding.h"

#include <windows.h>
#include <winioctl.h>

std::uint64_t SectorReader::getTotalSectors(const std::string& devicePath) const
{
    const auto rawDevicePathW = toWide(rawDevicePathFor(devicePath).path);
    if (!rawDevicePathW) {
        diag::error("无法转换设备路径");
        return 0;
    }
    FileHandle device(CreateFileW(rawDevicePathW->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!device) {
        diag::error("无法打开设备获取扇区信息: " + devicePath);
        return 0;
    }

    DISK_GEOMETRY_EX diskGeometry{};
    DWORD bytesReturned = 0;
    if (DeviceIoControl(device.get(), IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &diskGeometry,
                        sizeof(diskGeometry), &bytesReturned, nullptr)) {
        const auto diskSize = static_cast<std::uint64_t>(diskGeometry.DiskSize.QuadPart);
        const DWORD bytesPerSector = diskGeometry.Geometry.BytesPerSector;
        const std::uint64_t total = sectorsOfDisk(diskSize, bytesPerSector);
        diag::out("磁盘总大小: " + std::to_string(diskSize) + " 字节");
        diag::out("每扇区字节数: " + std::to_string(bytesPerSector));
        diag::out("总扇区数: " + std::to_string(total));
        return total;
    }

    DISK_GEOMETRY oldGeometry{};
    if (DeviceIoControl(device.get(), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &oldGeometry, sizeof(oldGeometry),
                        &bytesReturned, nullptr)) {
        const std::uint64_t total = static_cast<std::uint64_t>(oldGeometry.Cylinders.QuadPart) *
                                    oldGeometry.TracksPerCylinder * oldGeometry.SectorsPerTrack;
        diag::out("使用旧接口获取磁盘几何信息");
        diag::out("总扇区数: " + std::to_string(total));
        return total;
    }
    const DWORD error = GetLastError();
    diag::error("无法获取磁盘几何信息，错误代码: " + std::to_string(error));
    return 0;
}
