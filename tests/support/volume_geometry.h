#pragma once

#include <cstdint>
#include <optional>

// What the raw volume of a drive letter answers to the geometry request, asked directly, so that
// a test can compare the engine's sector total with the volume's own figures.
struct VolumeGeometry {
    std::uint64_t diskSize = 0;
    std::uint32_t bytesPerSector = 0;
};

// Nothing when the volume cannot be opened or answers no geometry.
std::optional<VolumeGeometry> volumeGeometry(wchar_t driveLetter);
