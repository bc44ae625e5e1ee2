#include "sector_reader.h"

#include "device_read.h"
#include "log.h"
#include "raw_device_path.h"
#include "sector_math.h"

#include <windows.h>

#include <algorithm>

namespace {

std::string ruleLine(DevicePathRule rule)
{
    switch (rule) {
    case DevicePathRule::driveLetter:
        return "检测到驱动器路径，使用: ";
    case DevicePathRule::rawDevice:
        return "使用提供的原始设备路径: ";
    case DevicePathRule::prefixed:
        break;
    }
    return "尝试将路径转换为原始设备路径: ";
}

void logReadFailure(DWORD error)
{
    diag::error("读取扇区数据失败，错误代码: " + std::to_string(error));
}

} // namespace

std::vector<std::uint8_t> SectorReader::readSectors(const std::string& devicePath, std::uint64_t startSector,
                                                    std::uint64_t sectorCount) const
{
    const RawDevicePath rawDevicePath = rawDevicePathFor(devicePath);
    diag::out(ruleLine(rawDevicePath.rule) + rawDevicePath.path);

    const auto byteCount = sectorByteCount(sectorCount, sectorSize);
    const FileHandle device = openDevice(rawDevicePath.path);
    if (!device) {
        const DWORD error = GetLastError();
        diag::error("无法打开设备: " + devicePath + " (尝试访问: " + rawDevicePath.path + ")");
        diag::error("错误代码: " + std::to_string(error));
        diag::out("使用降级方案访问文件系统...");
        if (!byteCount) {
            logReadFailure(ERROR_INVALID_PARAMETER);
            return {};
        }
        return std::vector<std::uint8_t>(*byteCount, 0);
    }
    if (!byteCount) {
        logReadFailure(ERROR_INVALID_PARAMETER);
        return {};
    }

    const auto span = alignedRead(startSector, *byteCount, sectorSize);
    LARGE_INTEGER position{};
    if (span) {
        position.QuadPart = static_cast<LONGLONG>(span->offset);
    }
    if (!span || !SetFilePointerEx(device.get(), position, nullptr, FILE_BEGIN)) {
        diag::error("设置文件指针失败");
        return {};
    }

    const AlignedBuffer buffer = alignedBuffer(span->length);
    const ReadOutcome outcome = readAt(device.get(), span->offset, buffer.get(), span->length);
    if (!outcome.done) {
        logReadFailure(outcome.error);
        return {};
    }
    const DWORD available = outcome.bytesRead > span->skip ? outcome.bytesRead - span->skip : 0;
    const std::uint8_t* first = buffer.get() + span->skip;
    return std::vector<std::uint8_t>(first, first + std::min<DWORD>(available, *byteCount));
}
