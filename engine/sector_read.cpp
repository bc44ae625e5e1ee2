#include "sector_reader.h"

#include "log.h"
#include "raw_device_path.h"
#include "sector_math.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>

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

struct AlignedDelete {
    void operator()(std::uint8_t* buffer) const { ::operator delete(buffer, std::align_val_t{unbufferedAlignment}); }
};
using AlignedBuffer = std::unique_ptr<std::uint8_t, AlignedDelete>;

AlignedBuffer alignedBuffer(std::uint32_t length)
{
    return AlignedBuffer(static_cast<std::uint8_t*>(::operator new(length, std::align_val_t{unbufferedAlignment})));
}

struct ReadOutcome {
    bool done = false;
    DWORD bytesRead = 0;
    DWORD error = 0;
};

// The position travels in the request; on an overlapped handle the read always completes
// later, so wait for its outcome before the buffer is touched.
ReadOutcome readAt(HANDLE device, std::uint64_t offset, std::uint8_t* buffer, DWORD length)
{
    KernelHandle finished(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED request{};
    request.Offset = static_cast<DWORD>(offset);
    request.OffsetHigh = static_cast<DWORD>(offset >> 32);
    request.hEvent = finished.get();

    ReadOutcome outcome;
    if (!ReadFile(device, buffer, length, nullptr, &request) && GetLastError() != ERROR_IO_PENDING) {
        outcome.error = GetLastError();
        return outcome;
    }
    if (!GetOverlappedResult(device, &request, &outcome.bytesRead, TRUE)) {
        outcome.error = GetLastError();
        return outcome;
    }
    outcome.done = true;
    return outcome;
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
