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

    // Resolves the location, takes the volume's sector count as the progress total (0 when there
    // is none) and runs the scenario's scan. Throws std::runtime_error when the engine is not
    // initialised or the location resolves to nothing; callback exceptions pass through.
    void scanDevice(const std::string& location,
                    const std::string& scenario,
                    const std::vector<std::string>& fileTypes,
                    FileFoundCallback onFileFound,
                    std::atomic<bool>* stopFlag,
                    int maxDepth,
                    ProgressCallback onProgress);

    // A drive form or one of the aliases as a folder path; a missing path comes back as given.
    std::string resolveDevicePath(const std::string& location) const;

    // "$Recycle.Bin" after the first three characters of the path (its drive root).
    std::string getRecycleBinPath(const std::string& devicePath) const;

    // The category keyword of a lower-case extension ("other" when the table lacks it).
    std::string getFileCategory(const std::string& extension) const;

    // The streaming scans, one per scenario; each counts its own progress positions.
    void scanAccidentalDeletion(const std::string& devicePath,
                                const std::vector<std::string>& fileTypes,
                                FileFoundCallback onFileFound,
                                std::atomic<bool>* stopFlag,
                                int maxDepth,
                                ProgressCallback onProgress,
                                std::uint64_t totalSectors);
    void scanEmptyRecycleBin(const std::string& devicePath,
                             const std::vector<std::string>& fileTypes,
                             FileFoundCallback onFileFound,
                             std::atomic<bool>* stopFlag,
                             int maxDepth,
                             ProgressCallback onProgress,
                             std::uint64_t totalSectors);
    void scanFormat(const std::string& devicePath,
                    const std::vector<std::string>& fileTypes,
                    FileFoundCallback onFileFound,
                    std::atomic<bool>* stopFlag,
                    int maxDepth,
                    ProgressCallback onProgress,
                    std::uint64_t totalSectors);
    void scanReinstallSystem(const std::string& devicePath,
                             const std::vector<std::string>& fileTypes,
                             FileFoundCallback onFileFound,
                             std::atomic<bool>* stopFlag,
                             int maxDepth,
                             ProgressCallback onProgress,
                             std::uint64_t totalSectors);
    // Three walks of the same location, so every kept file is reported three times.
    void scanComprehensive(const std::string& devicePath,
                           const std::vector<std::string>& fileTypes,
                           FileFoundCallback onFileFound,
                           std::atomic<bool>* stopFlag,
                           int maxDepth,
                           ProgressCallback onProgress,
                           std::uint64_t totalSectors);

    // Depth-limited walk that reports every kept file at once; levels 0 to maxDepth are read. A link
    // back into a folder the walk is inside is not entered; every other link is, like any folder.
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

    // The collecting forms: each gathers what its scan finds and returns it as one list, with no
    // stop flag and no progress reports.

    // Runs the streaming entry (its lines, its dispatch, its errors) and returns every record it
    // reported, in order.
    std::vector<FileInfo> scanDevice(const std::string& location,
                                     const std::string& scenario,
                                     const std::vector<std::string>& fileTypes,
                                     int maxDepth);

    std::vector<FileInfo> scanAccidentalDeletion(const std::string& devicePath,
                                                 const std::vector<std::string>& fileTypes,
                                                 int maxDepth);
    // The sector-level scan's records, each marked as found by its signature.
    std::vector<FileInfo> scanFormat(const std::string& devicePath,
                                     const std::vector<std::string>& fileTypes,
                                     int maxDepth);
    // The walk, the sector-level scan and the file-signature scan, joined in that order, with
    // later records of an id and a path already seen dropped.
    std::vector<FileInfo> scanComprehensive(const std::string& devicePath,
                                            const std::vector<std::string>& fileTypes,
                                            int maxDepth);
    // The recycle bin's own files; only when there are none, the sector-level scan of the location.
    std::vector<FileInfo> scanEmptyRecycleBin(const std::string& devicePath,
                                              const std::vector<std::string>& fileTypes,
                                              int maxDepth);
    std::vector<FileInfo> scanReinstallSystem(const std::string& devicePath,
                                              const std::vector<std::string>& fileTypes);

    // The walk from depth 0, appending every kept file to results.
    void scanDirectoryRecursive(const std::string& folderPath,
                                const std::vector<std::string>& fileTypes,
                                std::vector<FileInfo>& results,
                                int maxDepth);
    // The walk from depth 0 down to depth 3, reporting to onFileFound and obeying stopFlag.
    void scanDirectoryRecursive(const std::string& folderPath,
                                const std::vector<std::string>& fileTypes,
                                FileFoundCallback onFileFound,
                                std::atomic<bool>* stopFlag);

    // The first record of each id and path, in input order.
    std::vector<FileInfo> removeDuplicates(const std::vector<FileInfo>& results) const;
    // The status a record's recovery method stands for.
    std::string statusForMethod(const FileInfo& file) const;
    // "filesystem_entry" when the record's path exists, "signature_based" otherwise.
    std::string methodForPath(const FileInfo& file) const;

    // Copies each file flat into targetDir and returns one result per input, in order, with the
    // copy's path and "recovered", "partial_recovery" or "failed". Existing files are never
    // replaced: a taken name gives the copy the next free "name (n).ext", counting on from the
    // last number this call used for the name. A copy that fails leaves nothing of itself behind.
    std::vector<FileInfo> recoverFiles(const std::vector<FileInfo>& files, const std::string& targetDir) const;

private:
    bool initialized = false;
};
