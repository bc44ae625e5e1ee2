#include "folder_identity.h"

#include "unique_handle.h"

#include <windows.h>

std::optional<FolderIdentity> folderIdentity(const std::string& path)
{
    // A folder opens only with backup semantics; links are followed to the folder they name.
    const FileHandle folder(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(folder.get(), &information)) {
        return std::nullopt;
    }
    const std::uint64_t fileIndex = (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) +
                                    information.nFileIndexLow;
    // Some network file systems answer 0 for every file: that tells no two folders apart.
    if (fileIndex == 0) {
        return std::nullopt;
    }
    return FolderIdentity{information.dwVolumeSerialNumber, fileIndex};
}
