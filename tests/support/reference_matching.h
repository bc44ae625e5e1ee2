#pragma once

// Plain, slow restatements of the header scan and of the signature row test, written position by
// position as the behaviour is defined. Tests and fuzz targets check the engine's versions against
// them; header-only so that the fuzz targets need nothing else from the test support.

#include "file_signature.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace reference {

// The category of the first header test that holds at position i, or empty.
inline std::string headerAt(std::span<const std::uint8_t> b, std::size_t i)
{
    const std::size_t n = b.size();
    auto fits = [&](std::size_t span) { return i + span - 1 < n; };

    if (fits(3) && b[i] == 0xFF && b[i + 1] == 0xD8 && b[i + 2] == 0xFF) {
        return "image";
    }
    if (fits(8) && b[i] == 0x89 && b[i + 1] == 0x50 && b[i + 2] == 0x4E && b[i + 3] == 0x47 &&
        b[i + 4] == 0x0D && b[i + 5] == 0x0A && b[i + 6] == 0x1A && b[i + 7] == 0x0A) {
        return "image";
    }
    if (fits(6) && b[i] == 'G' && b[i + 1] == 'I' && b[i + 2] == 'F' && b[i + 3] == '8' &&
        (b[i + 4] == '7' || b[i + 4] == '9') && b[i + 5] == 'a') {
        return "image";
    }
    if (fits(5) && b[i] == '%' && b[i + 1] == 'P' && b[i + 2] == 'D' && b[i + 3] == 'F' && b[i + 4] == '-') {
        return "document";
    }
    if (fits(4) && b[i] == 'P' && b[i + 1] == 'K' && (b[i + 2] == 3 || b[i + 2] == 5 || b[i + 2] == 7) &&
        (b[i + 3] == 4 || b[i + 3] == 6 || b[i + 3] == 8)) {
        return "archive";
    }
    if (fits(8) && b[i + 4] == 'f' && b[i + 5] == 't' && b[i + 6] == 'y' && b[i + 7] == 'p') {
        return "video";
    }
    const bool riff = fits(4) && b[i] == 'R' && b[i + 1] == 'I' && b[i + 2] == 'F' && b[i + 3] == 'F';
    if (riff && fits(12) && b[i + 8] == 'W' && b[i + 9] == 'A' && b[i + 10] == 'V' && b[i + 11] == 'E') {
        return "audio";
    }
    if (riff) {
        return "video";
    }
    if (fits(3) && b[i] == 'I' && b[i + 1] == 'D' && b[i + 2] == '3') {
        return "audio";
    }
    if (fits(2) && b[i] == 0xFF && b[i + 1] >= 0xE0) {
        return "audio";
    }
    if (fits(2) && b[i] == 'B' && b[i + 1] == 'M') {
        return "image";
    }
    if (fits(4) && b[i] == 'I' && b[i + 1] == 'I' && b[i + 2] == 0x2A && b[i + 3] == 0x00) {
        return "image";
    }
    if (fits(4) && b[i] == 'M' && b[i + 1] == 'M' && b[i + 2] == 0x00 && b[i + 3] == 0x2A) {
        return "image";
    }
    if (fits(7) && b[i] == 'R' && b[i + 1] == 'a' && b[i + 2] == 'r' && b[i + 3] == '!' && b[i + 4] == 0x1A &&
        b[i + 5] == 0x07 && b[i + 6] == 0x00) {
        return "archive";
    }
    if (fits(6) && b[i] == '7' && b[i + 1] == 'z' && b[i + 2] == 0xBC && b[i + 3] == 0xAF && b[i + 4] == 0x27 &&
        b[i + 5] == 0x1C) {
        return "archive";
    }
    return {};
}

inline std::vector<std::pair<std::uint64_t, std::string>> headerScan(std::span<const std::uint8_t> buffer)
{
    std::vector<std::pair<std::uint64_t, std::string>> hits;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        if (std::string category = headerAt(buffer, i); !category.empty()) {
            hits.emplace_back(i, category);
        }
    }
    return hits;
}

// The hits above whose category is in the list (every hit when the list is empty): the filter
// comes after the scan, so a position whose first holding test is of another category gives none.
inline std::vector<std::pair<std::uint64_t, std::string>> headerScan(std::span<const std::uint8_t> buffer,
                                                                     const std::vector<std::string>& categories)
{
    std::vector<std::pair<std::uint64_t, std::string>> kept;
    for (auto& hit : headerScan(buffer)) {
        if (categories.empty() || std::find(categories.begin(), categories.end(), hit.second) != categories.end()) {
            kept.push_back(std::move(hit));
        }
    }
    return kept;
}

// A row never matches with a negative offset or a mask whose length differs from the magic's.
inline bool rowMatches(std::span<const std::uint8_t> bytes, const FileSignature& row)
{
    if (row.offset < 0 || (!row.mask.empty() && row.mask.size() != row.magic.size())) {
        return false;
    }
    const std::uint64_t offset = static_cast<std::uint64_t>(row.offset);
    if (offset + row.magic.size() > bytes.size()) {
        return false;
    }
    for (std::size_t j = 0; j < row.magic.size(); ++j) {
        const unsigned actual = bytes[offset + j];
        const unsigned expected = row.magic[j];
        if (row.mask.empty() ? actual != expected : (actual & row.mask[j]) != (expected & row.mask[j])) {
            return false;
        }
    }
    return true;
}

} // namespace reference
