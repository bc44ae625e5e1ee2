// Checks the buffer header scan against its plain position-by-position definition, with and
// without a hit limit and with and without a category filter, on arbitrary bytes.

#include "header_scan.h"
#include "reference_matching.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

namespace {

void failIf(bool failed, const char* what)
{
    if (failed) {
        std::fprintf(stderr, "header scan differs from its definition: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> buffer(data, size);
    const HeaderHits expected = reference::headerScan(buffer);

    failIf(scanBufferForHeaders(buffer) != expected, "all hits");

    const std::size_t half = expected.size() / 2;
    failIf(scanBufferForHeaders(buffer, half) != HeaderHits(expected.begin(), expected.begin() + half),
           "the first half of the hits");
    failIf(!scanBufferForHeaders(buffer, 0).empty(), "a limit of no hits");

    // The first byte chooses the filter: the header tests' five categories and one they lack.
    static const std::vector<std::string> keywords = {"image", "document", "archive", "video", "audio", "text"};
    std::vector<std::string> categories;
    for (std::size_t k = 0; size > 0 && k < keywords.size(); ++k) {
        if ((data[0] >> k) & 1) {
            categories.push_back(keywords[k]);
        }
    }
    const HeaderHits kept = reference::headerScan(buffer, categories);
    failIf(scanBufferForHeaders(buffer, unlimitedHeaderHits, categories) != kept, "the hits a filter keeps");
    const std::size_t keptHalf = kept.size() / 2;
    failIf(scanBufferForHeaders(buffer, keptHalf, categories) != HeaderHits(kept.begin(), kept.begin() + keptHalf),
           "the first half of the hits a filter keeps");
    return 0;
}
