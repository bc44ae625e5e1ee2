#pragma once

#include "file_info.h"

#include <windows.h>

#include <cstdint>
#include <string>

// What every listing reads alike from a directory entry.
template <typename Entry>
std::uint64_t entrySize(const Entry& entry)
{
    return (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) + entry.nFileSizeLow;
}

template <typename Entry>
bool isFolderEntry(const Entry& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction, a symbolic link or a mount point: a folder entry that may lead anywhere, its own
// ancestors included.
template <typename Entry>
bool isLinkEntry(const Entry& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A record of a listed file with its name, path, size and last-write time filled in.
FileInfo listedFileRecord(const WIN32_FIND_DATAA& entry, const std::string& path);
