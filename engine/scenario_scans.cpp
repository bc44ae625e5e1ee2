#include "log.h"
#include "recovery_engine.h"
#include "scan_checks.h"
#include "top_level_listing.h"

void RecoveryEngine::scanAccidentalDeletion(const std::string& devicePath,
                                            const std::vector<std::string>& fileTypes,
                                            FileFoundCallback onFileFound,
                                            std::atomic<bool>* stopFlag,
                                            int maxDepth,
                                            ProgressCallback onProgress,
                                            std::uint64_t totalSectors)
{
    diag::out("执行误删除扫描...");
    std::uint64_t counter = 0;
    scanDirectoryRecursive(devicePath, fileTypes, onFileFound, this, stopFlag, 0, maxDepth, onProgress, &counter,
                           totalSectors);
    diag::out("误删除扫描完成");
}

void RecoveryEngine::scanFormat(const std::string& devicePath,
                                const std::vector<std::string>& fileTypes,
                                FileFoundCallback onFileFound,
                                std::atomic<bool>* stopFlag,
                                int maxDepth,
                                ProgressCallback onProgress,
                                std::uint64_t totalSectors)
{
    diag::out("执行格式化设备扫描(回调模式)...");
    std::uint64_t counter = 0;
    scanDirectoryRecursive(devicePath, fileTypes, onFileFound, this, stopFlag, 0, maxDepth, onProgress, &counter,
                           totalSectors);
}

void RecoveryEngine::scanComprehensive(const std::string& devicePath,
                                       const std::vector<std::string>& fileTypes,
                                       FileFoundCallback onFileFound,
                                       std::atomic<bool>* stopFlag,
                                       int maxDepth,
                                       ProgressCallback onProgress,
                                       std::uint64_t totalSectors)
{
    diag::out("执行综合扫描(回调模式)...");
    scanAccidentalDeletion(devicePath, fileTypes, onFileFound, stopFlag, maxDepth, onProgress, totalSectors);
    if (stopRequested(stopFlag)) {
        return;
    }
    scanFormat(devicePath, fileTypes, onFileFound, stopFlag, maxDepth, onProgress, totalSectors);
    if (stopRequested(stopFlag)) {
        return;
    }
    std::uint64_t counter = 0;
    scanDirectoryRecursive(devicePath, fileTypes, onFileFound, this, stopFlag, 0, maxDepth, onProgress, &counter,
                           totalSectors);
}

void RecoveryEngine::scanEmptyRecycleBin(const std::string& devicePath,
                                         const std::vector<std::string>& fileTypes,
                                         FileFoundCallback onFileFound,
                                         std::atomic<bool>* stopFlag,
                                         int maxDepth,
                                         ProgressCallback onProgress,
                                         std::uint64_t totalSectors)
{
    diag::out("执行清空回收站扫描(回调模式)...");
    std::uint64_t counter = 0;
    const std::string recycleBinPath = getRecycleBinPath(devicePath);
    // A stop ends only the listing; the walk then leaves at its first entry on the same flag.
    listTopLevelFiles(*this, recycleBinPath, TopLevelRecord::recycleBin, fileTypes, onFileFound, stopFlag,
                      onProgress, counter, totalSectors);
    // The walk enters the per-user folders the listing passed over; positions run on.
    scanDirectoryRecursive(recycleBinPath, fileTypes, onFileFound, this, stopFlag, 0, maxDepth, onProgress,
                           &counter, totalSectors);
}

void RecoveryEngine::scanReinstallSystem(const std::string& devicePath,
                                         const std::vector<std::string>& fileTypes,
                                         FileFoundCallback onFileFound,
                                         std::atomic<bool>* stopFlag,
                                         int /*maxDepth*/,
                                         ProgressCallback onProgress,
                                         std::uint64_t totalSectors)
{
    // Only the roots' own files are listed: no sub-folder is entered, so the depth is not used.
    diag::out("执行重装系统扫描(回调模式)...");
    std::uint64_t counter = 0;
    for (const char* root : {"\\Users", "\\Documents and Settings", "\\ProgramData"}) {
        if (stopRequested(stopFlag)) {
            return;
        }
        if (!listTopLevelFiles(*this, devicePath + root, TopLevelRecord::userData, fileTypes, onFileFound,
                               stopFlag, onProgress, counter, totalSectors)) {
            return;
        }
    }
}
