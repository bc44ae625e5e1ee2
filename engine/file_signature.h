#pragma once

#include <cstdint>
#include <vector>

// One magic-byte pattern: the bytes expected at a fixed position of a file.
struct FileSignature {
    std::int32_t offset = 0;
    std::vector<std::uint8_t> magic;
    std::vector<std::uint8_t> mask;   // empty for an exact compare, else one mask byte per magic byte
};
