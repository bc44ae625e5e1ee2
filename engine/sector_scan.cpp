#include "sector_reader.h"

#include "log.h"
#include "unique_handle.h"

#include <windows.h>

#include <exception>
#include <optional>

namespace {

// Nothing when the process token cannot be opened or read.
std::optional<bool> processIsElevated()
{
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        return std::nullopt;
    }
    const KernelHandle token(rawToken);
    TOKEN_ELEVATION elevation{};
    DWORD length = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &length)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

} // namespace

std::vector<FileInfo> SectorReader::performSectorLevelScan(const std::string& devicePath,
                                                           const std::vector<std::string>& fileTypes) const
{
    return performSectorLevelScan(devicePath, fileTypes, 3);
}

std::vector<FileInfo> SectorReader::performSectorLevelScan(const std::string& devicePath,
                                                           const std::vector<std::string>& fileTypes,
                                                           int maxDepth) const
{
    diag::out("执行扇区级扫描...");
    const std::optional<bool> elevated = processIsElevated();
    if (elevated) {
        diag::out(*elevated ? "具有管理员权限，可执行扇区级扫描" : "警告: 没有管理员权限，扇区级扫描可能受限");
    }

    std::vector<FileInfo> results;
    try {
        appendFileSystemRecords(devicePath, fileTypes, maxDepth, results);
    } catch (const std::exception& error) {
        diag::error(std::string("文件系统扫描过程中发生错误: ") + error.what());
    }

    if (elevated.value_or(false)) {
        try {
            appendRawHeaderRecords(devicePath, fileTypes, results);
        } catch (const std::exception& error) {
            diag::error(std::string("扇区级扫描失败: ") + error.what());
        }
    }

    diag::out("总共找到 " + std::to_string(results.size()) + " 个可恢复的文件");
    return results;
}
