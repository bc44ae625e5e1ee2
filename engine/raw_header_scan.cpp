#include "sector_reader.h"

#include "device_read.h"
#include "header_scan.h"
#include "log.h"
#include "record_id.h"

#include <windows.h>

#include <algorithm>
#include <span>

namespace {

constexpr std::uint32_t chunkSize = 512 * 1024;
static_assert(chunkSize % unbufferedAlignment == 0);
constexpr std::uint64_t sizeLimit = 104857600;   // the most of the volume that is read

// Erased media reads as 0xFF throughout, which starts a header at nearly every byte: without a
// bound 100 MiB would make about 105 million records.
constexpr std::size_t rawHitLimit = 100000;

std::string rawDevicePathOf(const std::string& devicePath)
{
    if (devicePath.size() >= 2 && devicePath[1] == ':') {
        return "\\\\.\\" + devicePath.substr(0, 2);
    }
    return devicePath;
}

FileInfo rawHeaderRecord(const std::string& devicePath, std::uint64_t offset, const std::string& category)
{
    const std::string position = std::to_string(offset);
    FileInfo info;
    info.id = processRecordId("raw_") + "_" + position;
    info.name = category + "_at_offset_" + position + ".dat";
    info.path = devicePath + "_offset_" + position;
    info.size = 0;
    info.modifiedTime = "Unknown";
    info.status = "partially_recoverable";
    info.fileType = category;
    info.extension = "." + category;
    info.description = "通过扇区扫描发现的" + category + "文件片段";
    info.recoveryMethod = "signature_based";
    return info;
}

void logReadFailure(DWORD error)
{
    diag::error("读取扇区失败，错误代码: " + std::to_string(error));
    switch (error) {
    case ERROR_ACCESS_DENIED:
        diag::error("错误: 访问被拒绝，可能需要管理员权限");
        break;
    case ERROR_INSUFFICIENT_BUFFER:
        diag::error("错误: 缓冲区不足");
        break;
    case ERROR_IO_DEVICE:
        diag::error("错误: I/O 设备错误");
        break;
    default:
        break;
    }
}

} // namespace

std::vector<SectorReader::SignatureHit> SectorReader::scanBufferForSignatures(
    const std::vector<std::uint8_t>& buffer) const
{
    return scanBufferForHeaders(buffer);
}

void SectorReader::appendRawHeaderRecords(const std::string& devicePath, const std::vector<std::string>& fileTypes,
                                          std::vector<FileInfo>& results) const
{
    const std::string rawDevicePath = rawDevicePathOf(devicePath);
    diag::out("构建原始设备路径: " + rawDevicePath);
    const FileHandle device = openDevice(rawDevicePath);
    if (!device) {
        diag::out("无法打开原始设备进行扇区级访问，错误代码: " + std::to_string(GetLastError()));
        return;
    }
    LARGE_INTEGER deviceSize{};
    if (!GetFileSizeEx(device.get(), &deviceSize)) {
        return;
    }
    diag::out("设备总大小: " + std::to_string(deviceSize.QuadPart) + " 字节");
    const std::uint64_t sizeToScan = std::min(static_cast<std::uint64_t>(deviceSize.QuadPart), sizeLimit);
    diag::out("扫描大小限制为: " + std::to_string(sizeLimit) + " 字节");

    // One page-aligned buffer serves every chunk; each read is finished before it is looked at.
    const AlignedBuffer chunk = alignedBuffer(chunkSize);
    std::size_t kept = 0;
    std::uint64_t chunkCount = 0;
    for (std::uint64_t offset = 0; offset < sizeToScan;) {
        const auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(chunkSize, sizeToScan - offset));
        // Chunk offsets are multiples of the alignment already; the length is widened to it, and
        // a read across the end of the volume returns the bytes up to the end.
        const auto requestLength = static_cast<DWORD>(alignedUp(length));
        const ReadOutcome outcome = readAt(device.get(), offset, chunk.get(), requestLength);
        if (outcome.done) {
            // Bytes beyond a short read count as zero.
            std::fill(chunk.get() + std::min<DWORD>(outcome.bytesRead, length), chunk.get() + length, 0);
            const std::span<const std::uint8_t> buffer(chunk.get(), length);
            // The filter works inside the scan: on erased media nearly every byte starts an audio
            // header, and building those hits only to drop them cost far more than the reads.
            for (const auto& [relative, category] : scanBufferForHeaders(buffer, rawHitLimit - kept, fileTypes)) {
                const std::uint64_t absolute = offset + relative;
                diag::out("找到匹配的文件签名: " + category + " 在偏移量: " + std::to_string(absolute));
                results.push_back(rawHeaderRecord(devicePath, absolute, category));
                if (++kept == rawHitLimit) {
                    diag::out("扇区扫描匹配数达到上限: " + std::to_string(rawHitLimit) + "，停止读取原始设备");
                    return;
                }
            }
        } else {
            logReadFailure(outcome.error);
            if (outcome.error == ERROR_ACCESS_DENIED) {
                return;
            }
        }

        offset += chunkSize;
        if (++chunkCount % 10 == 0) {
            Sleep(1);
        }
        // A last chunk shorter than chunkSize would otherwise carry the offset past 100 %.
        const auto percentage = static_cast<int>(
            static_cast<double>(std::min(offset, sizeToScan)) / static_cast<double>(sizeToScan) * 100);
        if (percentage % 10 == 0) {
            diag::out("扇区扫描进度: " + std::to_string(percentage) + "%");
        }
    }
}
