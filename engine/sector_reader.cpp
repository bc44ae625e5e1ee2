#include "sector_reader.h"

#include "log.h"
#include "scan_checks.h"

#include <windows.h>

bool SectorReader::initialize()
{
    diag::out("正在初始化扇区读取器...");
    initialized = true;
    diag::out("扇区读取器初始化完成");
    return true;
}

bool SectorReader::copyFile(const FileInfo& file, const std::string& destinationPath) const
{
    return CopyFileA(file.path.c_str(), destinationPath.c_str(), TRUE) != FALSE;
}

std::vector<FileInfo> SectorReader::filterResults(const std::vector<FileInfo>& results,
                                                  const std::vector<std::string>& fileTypes) const
{
    std::vector<FileInfo> filtered;
    for (const FileInfo& result : results) {
        if (isWantedCategory(fileTypes, result.fileType)) {
            filtered.push_back(result);
        }
    }
    return filtered;
}
