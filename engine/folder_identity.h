#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

// A folder as the file system knows it, the same by whatever path or link it is reached.
struct FolderIdentity {
    std::uint32_t volumeSerial = 0;
    std::uint64_t fileIndex = 0;

    auto operator<=>(const FolderIdentity&) const = default;
};

// Nothing when the folder cannot be opened or its file system gives no index.
std::optional<FolderIdentity> folderIdentity(const std::string& path);
std::optional<FolderIdentity> folderIdentity(const std::wstring& path);
