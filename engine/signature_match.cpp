#include "signature_match.h"

#include <cstddef>

bool signatureRowMatches(std::span<const std::uint8_t> bytes, const FileSignature& row)
{
    const std::size_t length = row.magic.size();
    const bool masked = !row.mask.empty();
    if (row.offset < 0 || (masked && row.mask.size() != length)) {
        return false;
    }
    const auto start = static_cast<std::size_t>(row.offset);
    if (start > bytes.size() || length > bytes.size() - start) {
        return false;
    }
    // Bytes compare as unsigned values; the first that differs ends the test.
    for (std::size_t j = 0; j < length; ++j) {
        const std::uint8_t mask = masked ? row.mask[j] : 0xFF;
        if ((bytes[start + j] & mask) != (row.magic[j] & mask)) {
            return false;
        }
    }
    return true;
}
