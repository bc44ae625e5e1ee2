#include "sector_math.h"

#include <limits>

std::uint64_t sectorsOfDisk(std::uint64_t diskSize, std::uint32_t bytesPerSector)
{
    return bytesPerSector == 0 ? 0 : diskSize / bytesPerSector;
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
    const std::uint64_t alignedEnd = (end + unbufferedAlignment - 1) / unbufferedAlignment * unbufferedAlignment;
    return AlignedRead{alignedStart, static_cast<std::uint32_t>(alignedEnd - alignedStart),
                       static_cast<std::uint32_t>(start - alignedStart)};
}
