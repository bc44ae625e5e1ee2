#pragma once

#include "file_info.h"
#include "unique_handle.h"

#include <cstdint>
#include <string>
#include <vector>

// Access to the raw volume behind a location: its sector count, opening it and reading sectors.
// Every operation closes what it opens, except openDevice, whose handle goes to the caller.
class SectorReader {
public:
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

private:
    bool initialized = false;
    std::uint32_t sectorSize = 512;
};
