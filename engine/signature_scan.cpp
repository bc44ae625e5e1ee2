#include "sector_reader.h"

#include "listed_file.h"
#include "file_type_detector.h"
#include "folder_identity.h"
#include "log.h"
#include "record_id.h"
#include "scan_checks.h"
#include "unique_handle.h"

#include <windows.h>

#include <set>

namespace {

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
    std::vector<std::string> pending{devicePath};
    // There is no depth limit: a link back into an ancestor would be searched forever, and folders
    // that several links lead to would be searched once per route, which doubles with every level.
    std::set<FolderIdentity> searched;

    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        if (const std::optional<FolderIdentity> identity = folderIdentity(folder)) {
            if (!searched.insert(*identity).second) {
                continue;
            }
        }

        WIN32_FIND_DATAA entry{};
        const FindHandle search(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
        if (!search) {
            continue;
        }
        do {
            const std::string name = entry.cFileName;
            if (isFolderEntry(entry)) {
                if (name != "." && name != "..") {
                    pending.push_back(folder + "\\" + name);
                }
                continue;
            }
            try {
                const std::string filePath = folder + "\\" + name;
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
