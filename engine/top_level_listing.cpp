#include "top_level_listing.h"

#include "extension.h"
#include "listed_file.h"
#include "record_id.h"
#include "scan_checks.h"
#include "unique_handle.h"

#include <windows.h>

namespace {

FileInfo topLevelRecord(TopLevelRecord kind, const std::string& folder, const WIN32_FIND_DATAA& entry,
                        const std::string& extension, const std::string& fileType)
{
    const bool recycled = kind == TopLevelRecord::recycleBin;
    FileInfo info = listedFileRecord(entry, folder + "\\" + entry.cFileName);
    info.id = timedRecordId(recycled ? "recycle_" : "user_");
    info.status = recycled ? "recoverable" : "potentially_recoverable";
    info.fileType = fileType;
    info.extension = extension;
    info.description = (recycled ? "从回收站恢复的" : "用户数据恢复的") + fileType + "文件";
    info.recoveryMethod = recycled ? "recycle_bin" : "data_carving";
    return info;
}

} // namespace

bool listTopLevelFiles(const RecoveryEngine& engine,
                       const std::string& folder,
                       TopLevelRecord kind,
                       const std::vector<std::string>& fileTypes,
                       const FileFoundCallback& onFileFound,
                       const std::atomic<bool>* stopFlag,
                       const ProgressCallback& onProgress,
                       std::uint64_t& counter,
                       std::uint64_t totalSectors)
{
    WIN32_FIND_DATAA entry{};
    const FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!search) {
        return true;
    }
    do {
        if (stopRequested(stopFlag)) {
            return false;
        }
        if (isFolderEntry(entry)) {
            continue;
        }
        const std::string extension = lowerAsciiExtension(std::string(entry.cFileName));
        const std::string fileType = engine.getFileCategory(extension);
        if (!isWantedCategory(fileTypes, fileType)) {
            continue;
        }
        onFileFound(topLevelRecord(kind, folder, entry, extension, fileType));
        ++counter;
        if (onProgress) {
            onProgress(counter, totalSectors, counter);
        }
    } while (FindNextFileA(search.get(), &entry));
    return true;
}
