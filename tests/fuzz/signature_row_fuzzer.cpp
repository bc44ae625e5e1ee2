// Checks the detector's signature row test against its plain definition on arbitrary bytes: every
// row of the detector's own table, and a row made from the input (any offset, length and mask).

#include "file_signature.h"
#include "file_type_detector.h"
#include "reference_matching.h"
#include "signature_match.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

void check(std::span<const std::uint8_t> bytes, const FileSignature& row)
{
    if (signatureRowMatches(bytes, row) != reference::rowMatches(bytes, row)) {
        std::fprintf(stderr, "row test differs from its definition: offset %d, %zu magic bytes, %zu mask bytes, "
                             "%zu bytes read\n",
                     static_cast<int>(row.offset), row.magic.size(), row.mask.size(), bytes.size());
        std::abort();
    }
}

FileSignature rowFrom(FuzzedDataProvider& input)
{
    FileSignature row;
    row.offset = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::int32_t>(-4, 300)
                                     : input.ConsumeIntegral<std::int32_t>();
    row.magic = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 20));
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        break;
    case 1:
        row.mask = input.ConsumeBytes<std::uint8_t>(row.magic.size());
        break;
    default:
        row.mask = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 20));
        break;
    }
    return row;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const FileTypeDetector detector;

    const std::span<const std::uint8_t> leading(data, size);
    for (const auto& [category, rows] : detector.signatureTable()) {
        for (const FileSignature& row : rows) {
            check(leading, row);
        }
    }

    FuzzedDataProvider input(data, size);
    const FileSignature row = rowFrom(input);
    // A copy of exactly the remaining bytes, so that a read past them is caught.
    const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
    check(rest, row);
    return 0;
}
