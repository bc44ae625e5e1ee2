#include "folder_identity.h"

#include "unique_handle.h"

#include <windows.h>

namespace {

std::optional<FolderIdentity> identityOfOpened(const FileHandle& folder)
{
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

// Others may go on using the folder while it is looked at.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

// A folder opens only with backup semantics; links are followed to the folder they name.
std::optional<FolderIdentity> folderIdentity(const std::string& path)
{
    return identityOfOpened(FileHandle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, shareAll, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
}

std::optional<FolderIdentity> folderIdentity(const std::wstring& path)
{
    return identityOfOpened(FileHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, shareAll, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
}
