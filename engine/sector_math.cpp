#include "sector_math.h"

#include <limits>

std::uint64_t sectorsOfDisk(std::uint64_t diskSize, std::uint32_t bytesPerSector)
{
    return bytesPerSector == 0 ? 0 : diskSize / bytesPerSector;
}

std::uint64_t alignedUp(std::uint64_t value)
{
    return (value + unbufferedAlignment - 1) / unbufferedAlignment * unbufferedAlignment;
}

std::optional<std::uint32_t> sectorByteCount(std::uint64_t sectorCount, std::uint32_t sectorSize)
{
    if (sectorSize != 0 && sectorCount > maxSectorReadBytes / sectorSize) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(sectorCount * sectorSize);
}

std::optional<AlignedRead> alignedRead(std::uint64_t startSector, std::uint32_t byteCount,
                                       std::uint32_t sectorSize)
{
    constexpr auto maxPosition = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (sectorSize != 0 && startSector > maxPosition / sectorSize) {
        return std::nullopt;
    }
    const std::uint64_t start = startSector * sectorSize;
    const std::uint64_t alignedStart = start - start % unbufferedAlignment;
    const std::uint64_t end = start + byteCount;
    const std::uint64_t alignedEnd = alignedUp(end);
    return AlignedRead{alignedStart, static_cast<std::uint32_t>(alignedEnd - alignedStart),
                       static_cast<std::uint32_t>(start - alignedStart)};
}
