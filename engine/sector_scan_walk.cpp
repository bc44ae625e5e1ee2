#include "sector_reader.h"

#include "extension.h"
#include "file_type_detector.h"
#include "folder_trail.h"
#include "listed_file.h"
#include "log.h"
#include "record_id.h"
#include "scan_checks.h"
#include "text_encoding.h"
#include "unique_handle.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string_view>

namespace {

// Folders the system keeps for itself; any subfolder path holding one of these (case-sensitive)
// is not entered.
constexpr std::array<std::string_view, 5> protectedFolders = {
    "$Recycle.Bin", "System Volume Information", "Windows\\System32", "$SysReset", "Config.Msi",
};

bool isProtectedFolder(const std::string& path)
{
    for (std::string_view name : protectedFolders) {
        if (path.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

FileInfo fileSystemRecord(const std::string& filePath, const WIN32_FIND_DATAA& entry,
                          const std::string& extension, const std::string& fileType)
{
    FileInfo info = listedFileRecord(entry, filePath);
    info.id = timedRecordId("fs_") + "_" + entry.cFileName;
    info.status = "potentially_recoverable";
    info.fileType = fileType;
    info.extension = extension;
    info.description = "通过文件系统扫描找到的" + fileType + "文件";
    info.recoveryMethod = "filesystem_scan";
    return info;
}

// The sector-level scan's own walk: depth-limited, without a stop flag, protected folders passed over.
struct FileSystemWalk {
    const FileTypeDetector& detector;
    const std::vector<std::string>& fileTypes;
    int maxDepth;
    std::vector<FileInfo>& results;
    FolderTrail& trail;

    void walk(const std::string& folder, int depth) const
    {
        if (depth > maxDepth) {
            diag::out("达到最大递归深度，停止递归扫描: " + folder);
            return;
        }
        WIN32_FIND_DATAA entry{};
        const FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &entry));
        if (!search) {
            diag::out("无法打开目录(权限不足): " + folder);
            return;
        }
        diag::out("开始扫描目录(深度" + std::to_string(depth) + "): " + folder);

        std::uint64_t found = 0;
        std::uint64_t processed = 0;
        do {
            const std::string name = entry.cFileName;
            if (!isFolderEntry(entry)) {
                const std::string filePath = folder + "\\" + name;
                const std::string extension = lowerAsciiExtension(name);
                const std::string fileType = detector.categoryForExtension(extension);
                if (isWantedCategory(fileTypes, fileType)) {
                    results.push_back(fileSystemRecord(filePath, entry, extension, fileType));
                    ++found;
                }
                if (++processed % 10 == 0) {
                    Sleep(1);
                }
                continue;
            }
            if (name == "." || name == "..") {
                continue;
            }
            const std::string subdirPath = folder + "\\" + name;
            if (isProtectedFolder(subdirPath)) {
                diag::out("跳过系统保护目录: " + subdirPath);
                continue;
            }
            // A link back into a folder the walk is inside would list the same files over and over.
            const std::optional<FolderTrail::Step> inside =
                trail.enter(toWide(subdirPath).value_or(L""), isLinkEntry(entry));
            if (!inside) {
                continue;
            }
            walk(subdirPath, depth + 1);
            if (processed % 20 == 0) {
                Sleep(2);
            }
        } while (FindNextFileA(search.get(), &entry));

        diag::out("目录扫描完成(深度" + std::to_string(depth) + ")，找到 " + std::to_string(found) + " 个文件");
    }
};

} // namespace

void SectorReader::appendFileSystemRecords(const std::string& devicePath, const std::vector<std::string>& fileTypes,
                                           int maxDepth, std::vector<FileInfo>& results) const
{
    const FileTypeDetector detector;
    std::string rootPath = devicePath;
    if (rootPath.empty() || (rootPath.back() != '\\' && rootPath.back() != '/')) {
        rootPath += "\\";
    }
    diag::out("开始文件系统扫描，从路径: " + rootPath);
    FolderTrail trail(toWide(rootPath).value_or(L""));
    FileSystemWalk{detector, fileTypes, maxDepth, results, trail}.walk(rootPath, 0);
    diag::out("文件系统扫描完成，找到 " + std::to_string(results.size()) + " 个可恢复文件");
}
