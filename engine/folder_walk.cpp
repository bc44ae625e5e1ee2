#include "extension.h"
#include "file_time.h"
#include "folder_trail.h"
#include "listed_file.h"
#include "log.h"
#include "record_id.h"
#include "recovery_engine.h"
#include "scan_checks.h"
#include "text_encoding.h"
#include "unique_handle.h"

#include <windows.h>

#include <optional>

namespace {

// What stays the same for every folder of one walk; walk() reads one level and calls itself for
// the folders below it. The trail holds the folders from the start down to the one being read.
struct FolderWalk {
    const std::vector<std::string>& fileTypes;
    const FileFoundCallback& onFileFound;
    RecoveryEngine* engine;
    std::atomic<bool>* stopFlag;
    int maxDepth;
    const ProgressCallback& onProgress;
    std::uint64_t* currentSector;
    std::uint64_t totalSectors;
    FolderTrail trail;

    void walk(const std::string& folderPath, int depth);
};

void FolderWalk::walk(const std::string& folderPath, int depth)
{
    if (depth > maxDepth) {
        diag::out("达到最大递归深度，停止递归扫描: " + folderPath);
        return;
    }

    const auto folderW = toWide(folderPath);
    WIN32_FIND_DATAW findData{};
    FindHandle search;
    if (folderW) {
        const std::wstring searchPattern = *folderW + L"\\*";
        search.reset(FindFirstFileW(searchPattern.c_str(), &findData));
    }
    if (!search) {
        const DWORD error = GetLastError();
        diag::out("无法打开目录: " + folderPath + "，错误代码: " + std::to_string(error));
        return;
    }

    std::uint64_t fileCount = 0;
    const auto countFile = [&] {
        ++fileCount;
        if (currentSector != nullptr) {
            ++*currentSector;
        }
        if (onProgress) {
            // Without a shared counter the folder's own count is the best position there is.
            onProgress(currentSector != nullptr ? *currentSector : fileCount, totalSectors, fileCount);
        }
    };

    do {
        if (stopRequested(stopFlag)) {
            return;
        }
        const std::wstring_view entryName(findData.cFileName);
        if (entryName == L"." || entryName == L"..") {
            continue;
        }
        const std::wstring fullPath = *folderW + L"\\" + std::wstring(entryName);
        const std::string narrowPath = toNarrow(fullPath).value_or("[未知路径]");

        if (isFolderEntry(findData)) {
            // A link back into a folder the walk is inside would list the same files over and over.
            const std::optional<FolderTrail::Step> inside = trail.enter(fullPath, isLinkEntry(findData));
            if (!inside) {
                continue;
            }
            diag::wide(L"递归扫描子目录(深度" + std::to_wstring(depth + 1) + L"): " + fullPath);
            walk(narrowPath, depth + 1);
            if (stopRequested(stopFlag)) {
                return;
            }
            if (fileCount % 50 == 0) {
                Sleep(1);
            }
            continue;
        }

        if (stopRequested(stopFlag)) {
            return;
        }
        const std::string extension = toNarrow(lowerAsciiExtension(entryName)).value_or("");
        const std::string fileType = engine->getFileCategory(extension);

        if (!isWantedCategory(fileTypes, fileType)) {
            countFile();
            if (fileCount % 50 == 0) {
                if (stopRequested(stopFlag)) {
                    return;
                }
                Sleep(1);
            }
            continue;
        }

        FileInfo fileInfo;
        fileInfo.id = timedRecordId("file_") + "_" + std::to_string(entryName.size());
        fileInfo.path = narrowPath;
        fileInfo.size = entrySize(findData);
        fileInfo.modifiedTime = fileTimeText(findData.ftLastWriteTime);
        fileInfo.status = "recoverable";
        fileInfo.fileType = fileType;
        fileInfo.extension = extension;
        fileInfo.description = "从" + narrowPath + "恢复的" + fileType + "文件";
        fileInfo.recoveryMethod = "filesystem_entry";
        fileInfo.name = toNarrow(entryName).value_or("[未知文件名]");

        onFileFound(fileInfo);
        countFile();
        if (fileCount % 25 == 0) {
            if (stopRequested(stopFlag)) {
                return;
            }
            Sleep(1);
        }
    } while (FindNextFileW(search.get(), &findData));
}

} // namespace

void RecoveryEngine::scanDirectoryRecursive(const std::string& folderPath,
                                            const std::vector<std::string>& fileTypes,
                                            FileFoundCallback onFileFound,
                                            RecoveryEngine* engine,
                                            std::atomic<bool>* stopFlag,
                                            int depth,
                                            int maxDepth,
                                            ProgressCallback onProgress,
                                            std::uint64_t* currentSector,
                                            std::uint64_t totalSectors)
{
    FolderWalk{fileTypes, onFileFound, engine, stopFlag, maxDepth, onProgress, currentSector, totalSectors,
               FolderTrail(toWide(folderPath).value_or(L""))}
        .walk(folderPath, depth);
}
