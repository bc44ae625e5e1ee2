#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <utility>
#include <vector>

// (offset within the buffer, category keyword), in ascending offset order.
using HeaderHits = std::vector<std::pair<std::uint64_t, std::string>>;

inline constexpr std::size_t unlimitedHeaderHits = std::numeric_limits<std::size_t>::max();

// Every position of the buffer where a known file header begins. At each position the header tests
// are tried in their fixed order and the first that holds gives the hit, so hits may overlap and a
// position gives at most one. A test holds only when all the bytes it looks at lie in the buffer.
// Only the first maxHits hits are returned and the scan stops there: erased media reads as 0xFF
// throughout, which starts a header at nearly every byte, so a caller may need to bound memory.
HeaderHits scanBufferForHeaders(std::span<const std::uint8_t> buffer, std::size_t maxHits = unlimitedHeaderHits);

// The hits of the wanted categories alone (every category when the list is empty), exactly those
// that filtering the hits above would keep: a position whose first holding test is of another
// category gives no hit. maxHits counts kept hits. Unwanted hits are never made, so a filter makes
// erased media cheap to scan.
HeaderHits scanBufferForHeaders(std::span<const std::uint8_t> buffer, std::size_t maxHits,
                                std::span<const std::string> categories);
