#pragma once

#include "file_info.h"
#include "unique_handle.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Access to the raw volume behind a location: its sector count, opening it and reading sectors,
// and the deeper searches of the collecting scans. Every operation closes what it opens, except
// openDevice, whose handle goes to the caller.
class SectorReader {
public:
    // (offset within the buffer, category keyword) of one header found in a buffer.
    using SignatureHit = std::pair<std::uint64_t, std::string>;

    SectorReader() = default;
    SectorReader(const SectorReader&) = delete;
    SectorReader& operator=(const SectorReader&) = delete;

    // The volume's number of sectors; 0 on every failure.
    std::uint64_t getTotalSectors(const std::string& devicePath) const;

    // Opens the path exactly as given: unbuffered and overlapped first, then plain.
    FileHandle openDevice(const std::string& path) const;

    // sectorCount sectors of sectorSize bytes from startSector; a device that cannot be opened
    // gives zero bytes, a refused read nothing.
    std::vector<std::uint8_t> readSectors(const std::string& devicePath, std::uint64_t startSector,
                                          std::uint64_t sectorCount) const;

    bool canOpenDevice(const std::string& path) const;
    bool initialize();

    // Never replaces an existing destination: a taken one gives false.
    bool copyFile(const FileInfo& file, const std::string& destinationPath) const;

    std::vector<FileInfo> filterResults(const std::vector<FileInfo>& results,
                                        const std::vector<std::string>& fileTypes) const;

    // The files of a folder walk of the location (protected folders passed over), then, when the
    // process is elevated, the headers found on the first 100 MiB of its raw volume.
    std::vector<FileInfo> performSectorLevelScan(const std::string& devicePath,
                                                 const std::vector<std::string>& fileTypes,
                                                 int maxDepth) const;
    std::vector<FileInfo> performSectorLevelScan(const std::string& devicePath,
                                                 const std::vector<std::string>& fileTypes) const;

    // Every position of the buffer where one of the known file headers begins, in order.
    std::vector<SignatureHit> scanBufferForSignatures(const std::vector<std::uint8_t>& buffer) const;

    // Every file of the tree under devicePath, classified by its content; no depth limit, and each
    // folder is searched once however many links lead to it.
    std::vector<FileInfo> scanFileSignatures(const std::string& devicePath,
                                             const std::vector<std::string>& fileTypes) const;

private:
    void appendFileSystemRecords(const std::string& devicePath, const std::vector<std::string>& fileTypes,
                                 int maxDepth, std::vector<FileInfo>& results) const;
    void appendRawHeaderRecords(const std::string& devicePath, const std::vector<std::string>& fileTypes,
                                std::vector<FileInfo>& results) const;

    bool initialized = false;
    std::uint32_t sectorSize = 512;
};
