#include "recovery_engine.h"

#include "log.h"
#include "sector_reader.h"
#include "top_level_listing.h"

#include <windows.h>

#include <set>
#include <utility>

namespace {

// A file-found callback that appends a copy of every record to one list, which outlives the scan.
FileFoundCallback appendingTo(std::vector<FileInfo>& results)
{
    return [&results](const FileInfo& info) { results.push_back(info); };
}

} // namespace

std::vector<FileInfo> RecoveryEngine::scanDevice(const std::string& location,
                                                 const std::string& scenario,
                                                 const std::vector<std::string>& fileTypes,
                                                 int maxDepth)
{
    std::vector<FileInfo> results;
    scanDevice(location, scenario, fileTypes, appendingTo(results), nullptr, maxDepth, ProgressCallback());
    return results;
}

void RecoveryEngine::scanDirectoryRecursive(const std::string& folderPath,
                                            const std::vector<std::string>& fileTypes,
                                            std::vector<FileInfo>& results,
                                            int maxDepth)
{
    std::uint64_t counter = 0;
    scanDirectoryRecursive(folderPath, fileTypes, appendingTo(results), this, nullptr, 0, maxDepth,
                           ProgressCallback(), &counter, 0);
}

void RecoveryEngine::scanDirectoryRecursive(const std::string& folderPath,
                                            const std::vector<std::string>& fileTypes,
                                            FileFoundCallback onFileFound,
                                            std::atomic<bool>* stopFlag)
{
    std::uint64_t counter = 0;
    scanDirectoryRecursive(folderPath, fileTypes, std::move(onFileFound), this, stopFlag, 0, 3,
                           ProgressCallback(), &counter, 0);
}

std::vector<FileInfo> RecoveryEngine::scanAccidentalDeletion(const std::string& devicePath,
                                                             const std::vector<std::string>& fileTypes,
                                                             int maxDepth)
{
    diag::out("执行误删除扫描...");
    std::vector<FileInfo> results;
    scanDirectoryRecursive(devicePath, fileTypes, results, maxDepth);
    diag::out("误删除扫描完成，找到 " + std::to_string(results.size()) + " 个文件");
    return results;
}

std::vector<FileInfo> RecoveryEngine::scanFormat(const std::string& devicePath,
                                                 const std::vector<std::string>& fileTypes,
                                                 int maxDepth)
{
    diag::out("执行格式化设备扫描...");
    const SectorReader sectorReader;
    std::vector<FileInfo> results;
    for (FileInfo& record : sectorReader.performSectorLevelScan(devicePath, fileTypes, maxDepth)) {
        record.status = "partially_recoverable";
        record.recoveryMethod = "signature_based";
        results.push_back(std::move(record));
    }
    return results;
}

std::vector<FileInfo> RecoveryEngine::scanComprehensive(const std::string& devicePath,
                                                        const std::vector<std::string>& fileTypes,
                                                        int maxDepth)
{
    diag::out("执行综合扫描...");
    std::vector<FileInfo> joined = scanAccidentalDeletion(devicePath, fileTypes, maxDepth);
    const std::vector<FileInfo> sectorResults = scanFormat(devicePath, fileTypes, maxDepth);
    const std::vector<FileInfo> signatureResults = SectorReader().scanFileSignatures(devicePath, fileTypes);
    joined.insert(joined.end(), sectorResults.begin(), sectorResults.end());
    joined.insert(joined.end(), signatureResults.begin(), signatureResults.end());
    return removeDuplicates(joined);
}

std::vector<FileInfo> RecoveryEngine::scanEmptyRecycleBin(const std::string& devicePath,
                                                          const std::vector<std::string>& fileTypes,
                                                          int maxDepth)
{
    diag::out("执行清空回收站扫描...");
    std::vector<FileInfo> results;
    std::uint64_t counter = 0;
    listTopLevelFiles(*this, getRecycleBinPath(devicePath), TopLevelRecord::recycleBin, fileTypes,
                      appendingTo(results), nullptr, ProgressCallback(), counter, 0);
    if (results.empty()) {
        // The sector-level scan covers the whole location, not only the recycle bin.
        results = SectorReader().performSectorLevelScan(devicePath, fileTypes, maxDepth);
    }
    return results;
}

std::vector<FileInfo> RecoveryEngine::scanReinstallSystem(const std::string& devicePath,
                                                          const std::vector<std::string>& fileTypes)
{
    diag::out("执行重装系统扫描...");
    std::vector<FileInfo> results;
    std::uint64_t counter = 0;
    for (const char* root : {"\\Users", "\\Documents and Settings", "\\ProgramData"}) {
        listTopLevelFiles(*this, devicePath + root, TopLevelRecord::userData, fileTypes, appendingTo(results),
                          nullptr, ProgressCallback(), counter, 0);
    }
    return results;
}

std::vector<FileInfo> RecoveryEngine::removeDuplicates(const std::vector<FileInfo>& results) const
{
    // Ids are not unique: the walk's carry only the name's length and the other scans' the bare
    // name, so distinct files share them. A record repeats an earlier one only at the same path too.
    std::set<std::pair<std::string, std::string>> seen;
    std::vector<FileInfo> uniqueResults;
    for (const FileInfo& result : results) {
        if (seen.emplace(result.id, result.path).second) {
            uniqueResults.push_back(result);
        }
    }
    return uniqueResults;
}

std::string RecoveryEngine::statusForMethod(const FileInfo& file) const
{
    if (file.recoveryMethod == "filesystem_entry") {
        return "recoverable";
    }
    if (file.recoveryMethod == "signature_based") {
        return "partially_recoverable";
    }
    return "potentially_recoverable";
}

std::string RecoveryEngine::methodForPath(const FileInfo& file) const
{
    return GetFileAttributesA(file.path.c_str()) == INVALID_FILE_ATTRIBUTES ? "signature_based" : "filesystem_entry";
}
