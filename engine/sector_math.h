#pragma once

#include <cstdint>
#include <optional>

// The sectors of a disk by its size and sector size; 0 (no total) when the sector size is 0.
std::uint64_t sectorsOfDisk(std::uint64_t diskSize, std::uint32_t bytesPerSector);

// Unbuffered handles take only buffers, offsets and lengths aligned to the device's sector.
// 4096 is a multiple of every sector size in use (512-byte and 4K-native disks).
constexpr std::uint32_t unbufferedAlignment = 4096;

// The value rounded up to a whole number of alignment units.
std::uint64_t alignedUp(std::uint64_t value);

// The largest sector read: once widened to the alignment it still fits the 32-bit length of one read.
constexpr std::uint32_t maxSectorReadBytes = 0xFFFFE000;

// The byte count of sectorCount sectors; nothing when it exceeds maxSectorReadBytes.
std::optional<std::uint32_t> sectorByteCount(std::uint64_t sectorCount, std::uint32_t sectorSize);

// The aligned read that covers a run of bytes starting at a sector.
struct AlignedRead {
    std::uint64_t offset;   // aligned down
    std::uint32_t length;   // aligned up, covering the whole run
    std::uint32_t skip;     // bytes read ahead of the run's first byte
};

// Nothing when the start's byte offset does not fit a (signed 64-bit) file position.
std::optional<AlignedRead> alignedRead(std::uint64_t startSector, std::uint32_t byteCount,
                                       std::uint32_t sectorSize);
