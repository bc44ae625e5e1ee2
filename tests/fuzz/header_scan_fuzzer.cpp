// Checks the buffer header scan against its plain position-by-position definition, with and
// without a hit limit, on arbitrary bytes.

#include "header_scan.h"
#include "reference_matching.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

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
    return 0;
}
