#include "header_scan.h"

#include <array>
#include <bit>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string_view>

namespace {

// The byte values that one position of a header accepts.
class ByteClass {
public:
    static constexpr ByteClass any()
    {
        ByteClass all;
        all.bits.fill(~std::uint64_t{0});
        return all;
    }

    static constexpr ByteClass oneOf(std::initializer_list<std::uint8_t> values)
    {
        ByteClass set;
        for (std::uint8_t value : values) {
            set.add(value);
        }
        return set;
    }

    static constexpr ByteClass atLeast(std::uint8_t low)
    {
        ByteClass set;
        for (unsigned value = low; value <= 0xFF; ++value) {
            set.add(static_cast<std::uint8_t>(value));
        }
        return set;
    }

    constexpr bool accepts(std::uint8_t byte) const { return (bits[byte >> 6] >> (byte & 63)) & 1; }
    constexpr bool acceptsEvery() const { return *this == any(); }
    constexpr bool operator==(const ByteClass&) const = default;

private:
    constexpr void add(std::uint8_t value) { bits[value >> 6] |= std::uint64_t{1} << (value & 63); }

    std::array<std::uint64_t, 4> bits{};
};

constexpr std::size_t longestHeader = 12;

// One header test: the bytes expected from a position on, built left to right.
struct HeaderTest {
    constexpr explicit HeaderTest(std::string_view keyword) : category(keyword) {}

    constexpr HeaderTest bytes(std::initializer_list<std::uint8_t> values) const
    {
        HeaderTest longer = *this;
        for (std::uint8_t value : values) {
            longer.append(ByteClass::oneOf({value}));
        }
        return longer;
    }

    constexpr HeaderTest oneOf(std::initializer_list<std::uint8_t> values) const
    {
        HeaderTest longer = *this;
        longer.append(ByteClass::oneOf(values));
        return longer;
    }

    constexpr HeaderTest atLeast(std::uint8_t low) const
    {
        HeaderTest longer = *this;
        longer.append(ByteClass::atLeast(low));
        return longer;
    }

    constexpr HeaderTest anyBytes(std::size_t count) const
    {
        HeaderTest longer = *this;
        for (std::size_t n = 0; n < count; ++n) {
            longer.append(ByteClass::any());
        }
        return longer;
    }

    // The first position that does not accept every byte; only there can a scan look for the test.
    constexpr std::size_t anchor() const
    {
        std::size_t position = 0;
        while (position < span && positions[position].acceptsEvery()) {
            ++position;
        }
        return position;
    }

    bool holdsAt(std::span<const std::uint8_t> buffer, std::size_t start) const
    {
        if (span > buffer.size() - start) {
            return false;
        }
        for (std::size_t j = 0; j < span; ++j) {
            if (!positions[j].accepts(buffer[start + j])) {
                return false;
            }
        }
        return true;
    }

    std::string_view category;
    std::size_t span = 0;
    std::array<ByteClass, longestHeader> positions{};

private:
    constexpr void append(ByteClass position) { positions.at(span++) = position; }
};

// Tried in this order at every position; the first that holds names the hit.
constexpr HeaderTest headerTests[] = {
    HeaderTest("image").bytes({0xFF, 0xD8, 0xFF}),
    HeaderTest("image").bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}),
    HeaderTest("image").bytes({0x47, 0x49, 0x46, 0x38}).oneOf({0x37, 0x39}).bytes({0x61}),
    HeaderTest("document").bytes({0x25, 0x50, 0x44, 0x46, 0x2D}),
    HeaderTest("archive").bytes({0x50, 0x4B}).oneOf({0x03, 0x05, 0x07}).oneOf({0x04, 0x06, 0x08}),
    HeaderTest("video").anyBytes(4).bytes({0x66, 0x74, 0x79, 0x70}),
    HeaderTest("audio").bytes({0x52, 0x49, 0x46, 0x46}).anyBytes(4).bytes({0x57, 0x41, 0x56, 0x45}),
    HeaderTest("video").bytes({0x52, 0x49, 0x46, 0x46}),
    HeaderTest("audio").bytes({0x49, 0x44, 0x33}),
    HeaderTest("audio").bytes({0xFF}).atLeast(0xE0),
    HeaderTest("image").bytes({0x42, 0x4D}),
    HeaderTest("image").bytes({0x49, 0x49, 0x2A, 0x00}),
    HeaderTest("image").bytes({0x4D, 0x4D, 0x00, 0x2A}),
    HeaderTest("archive").bytes({0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00}),
    HeaderTest("archive").bytes({0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C}),
};
static_assert(std::size(headerTests) == 15);

// Bit t of a set stands for headerTests[t], so the lowest set bit is the test to try first.
using TestSet = std::uint16_t;
static_assert(std::size(headerTests) <= 16);

// A test can hold at a position only when the byte at its anchor, the first position that does not
// accept every byte, is one it accepts. Per anchor distance, a table gives for each byte value the
// tests anchored there that accept it; most positions of real data start no test at all and are
// passed over after a lookup or two.
struct Anchor {
    std::size_t distance = 0;
    std::array<TestSet, 256> testsByByte{};
};

constexpr auto anchorsByDistance = [] {
    std::array<Anchor, longestHeader> byDistance{};
    for (std::size_t t = 0; t < std::size(headerTests); ++t) {
        const HeaderTest& test = headerTests[t];
        const std::size_t distance = test.anchor();
        if (distance == test.span) {
            throw std::logic_error("a header test that accepts every byte would hit everywhere");
        }
        byDistance[distance].distance = distance;
        for (unsigned value = 0; value <= 0xFF; ++value) {
            if (test.positions[distance].accepts(static_cast<std::uint8_t>(value))) {
                byDistance[distance].testsByByte[value] |= static_cast<TestSet>(1u << t);
            }
        }
    }
    return byDistance;
}();

constexpr bool anchorsAnyTest(const Anchor& anchor)
{
    for (TestSet tests : anchor.testsByByte) {
        if (tests != 0) {
            return true;
        }
    }
    return false;
}

constexpr std::size_t anchorCount = [] {
    std::size_t count = 0;
    for (const Anchor& anchor : anchorsByDistance) {
        count += anchorsAnyTest(anchor) ? 1 : 0;
    }
    return count;
}();

constexpr auto anchors = [] {
    std::array<Anchor, anchorCount> used{};
    std::size_t next = 0;
    for (const Anchor& anchor : anchorsByDistance) {
        if (anchorsAnyTest(anchor)) {
            used[next++] = anchor;
        }
    }
    return used;
}();

constexpr std::size_t farthestAnchor = anchors.back().distance;

// Where every anchor lies inside the buffer, no bound needs checking: this loop is the scan's
// hot path, since it passes over almost every position of ordinary data.
TestSet candidateTestsInside(const std::uint8_t* at)
{
    TestSet candidates = 0;
    for (const Anchor& anchor : anchors) {
        candidates |= anchor.testsByByte[at[anchor.distance]];
    }
    return candidates;
}

TestSet candidateTests(std::span<const std::uint8_t> buffer, std::size_t position)
{
    const std::size_t remaining = buffer.size() - position;
    if (remaining > farthestAnchor) {
        return candidateTestsInside(buffer.data() + position);
    }
    TestSet candidates = 0;
    for (const Anchor& anchor : anchors) {
        if (anchor.distance < remaining) {
            candidates |= anchor.testsByByte[buffer[position + anchor.distance]];
        }
    }
    return candidates;
}

// The first position from `position` on where some test may hold, or the buffer's size.
std::size_t nextCandidate(std::span<const std::uint8_t> buffer, std::size_t position)
{
    const std::size_t insideEnd = buffer.size() > farthestAnchor ? buffer.size() - farthestAnchor : 0;
    while (position < insideEnd && candidateTestsInside(buffer.data() + position) == 0) {
        ++position;
    }
    while (position < buffer.size() && candidateTests(buffer, position) == 0) {
        ++position;
    }
    return position;
}

const HeaderTest* headerAt(std::span<const std::uint8_t> buffer, std::size_t position)
{
    for (TestSet candidates = candidateTests(buffer, position); candidates != 0; candidates &= candidates - 1) {
        const HeaderTest& test = headerTests[std::countr_zero(candidates)];
        if (test.holdsAt(buffer, position)) {
            return &test;
        }
    }
    return nullptr;
}

} // namespace

HeaderHits scanBufferForHeaders(std::span<const std::uint8_t> buffer, std::size_t maxHits)
{
    HeaderHits hits;
    for (std::size_t position = nextCandidate(buffer, 0); position < buffer.size() && hits.size() < maxHits;
         position = nextCandidate(buffer, position + 1)) {
        if (const HeaderTest* test = headerAt(buffer, position)) {
            hits.emplace_back(position, std::string(test->category));
        }
    }
    return hits;
}
