#pragma once

#include "file_info.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class RecoveryEngine {
public:
    // Once, before any scan; false when start-up failed.
    bool initialize();

    // The category keyword of a lower-case extension ("other" when the table lacks it).
    std::string getFileCategory(const std::string& extension) const;

    // Depth-limited walk that reports every kept file at once; levels 0 to maxDepth are read.
    static void scanDirectoryRecursive(const std::string& folderPath,
                                       const std::vector<std::string>& fileTypes,
                                       FileFoundCallback onFileFound,
                                       RecoveryEngine* engine,
                                       std::atomic<bool>* stopFlag,
                                       int depth,
                                       int maxDepth,
                                       ProgressCallback onProgress,
                                       std::uint64_t* currentSector,
                                       std::uint64_t totalSectors);

private:
    bool initialized = false;
};
