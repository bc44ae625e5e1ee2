#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Bytes to place at an offset of a disk image.
using ImagePiece = std::pair<std::uint64_t, std::string_view>;

// Writes a disk image of the given size: zero everywhere but the pieces. The size is set
// without writing the zeros, so a large image costs little on a file system with sparse files.
void writeDiskImage(const std::wstring& path, std::uint64_t size, const std::vector<ImagePiece>& pieces = {});
