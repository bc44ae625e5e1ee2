#include "sector_reader.h"

#include "listed_file.h"
#include "file_type_detector.h"
#include "folder_identity.h"
#include "log.h"
#include "record_id.h"
#include "scan_checks.h"
#include "unique_handle.h"

#include <windows.h>

#include <algorithm>

namespace {

struct PendingFolder {
    std::string path;
    // The folders from the location down to this folder's parent, as far as they could be identified.
    std::vector<FolderIdentity> ancestors;
};

FileInfo signatureRecord(const std::string& filePath, const WIN32_FIND_DATAA& entry, const FileTypeInfo& type)
{
    FileInfo info = listedFileRecord(entry, filePath);
    info.id = timedRecordId("signature_") + "_" + entry.cFileName;
    info.status = "partially_recoverable";
    info.fileType = type.type;
    info.extension = type.extension;
    info.description = "通过签名检测找到的" + type.type + "文件";
    info.recoveryMethod = "signature_based";
    return info;
}

} // namespace

std::vector<FileInfo> SectorReader::scanFileSignatures(const std::string& devicePath,
                                                       const std::vector<std::string>& fileTypes) const
{
    diag::out("执行文件签名扫描...");
    const FileTypeDetector detector;
    std::vector<FileInfo> results;
    std::vector<PendingFolder> pending{{devicePath, {}}};

    while (!pending.empty()) {
        PendingFolder folder = std::move(pending.back());
        pending.pop_back();

        // There is no depth limit, so a link back into an ancestor would be searched forever.
        std::vector<FolderIdentity> ancestors = std::move(folder.ancestors);
        if (const std::optional<FolderIdentity> identity = folderIdentity(folder.path)) {
            if (std::find(ancestors.begin(), ancestors.end(), *identity) != ancestors.end()) {
                continue;
            }
            ancestors.push_back(*identity);
        }

        WIN32_FIND_DATAA entry{};
        const FindHandle search(FindFirstFileA((folder.path + "\\*.*").c_str(), &entry));
        if (!search) {
            continue;
        }
        do {
            const std::string name = entry.cFileName;
            if (isFolderEntry(entry)) {
                if (name != "." && name != "..") {
                    pending.push_back({folder.path + "\\" + name, ancestors});
                }
                continue;
            }
            try {
                const std::string filePath = folder.path + "\\" + name;
                const FileTypeInfo type = detector.detectFileType(filePath);
                if (isWantedCategory(fileTypes, type.type)) {
                    results.push_back(signatureRecord(filePath, entry, type));
                }
            } catch (...) {
                // A file that cannot be classified is left out; the search goes on.
            }
        } while (FindNextFileA(search.get(), &entry));
    }
    return results;
}
