#include "header_scan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

    constexpr ByteClass orAlso(const ByteClass& other) const
    {
        ByteClass both = *this;
        for (std::size_t word = 0; word < bits.size(); ++word) {
            both.bits[word] |= other.bits[word];
        }
        return both;
    }

    constexpr bool accepts(std::uint8_t byte) const { return (bits[byte >> 6] >> (byte & 63)) & 1; }
    constexpr bool acceptsEvery() const { return *this == any(); }
    constexpr bool acceptsAllOf(const ByteClass& other) const { return orAlso(other) == *this; }
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

// Where every anchor lies inside the buffer, no bound needs checking.
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

constexpr TestSet allTests = static_cast<TestSet>((1u << std::size(headerTests)) - 1);

// The tests whose category is wanted; every test when the list is empty.
TestSet testsOfCategories(std::span<const std::string> categories)
{
    if (categories.empty()) {
        return allTests;
    }
    TestSet tests = 0;
    for (std::size_t t = 0; t < std::size(headerTests); ++t) {
        if (std::find(categories.begin(), categories.end(), headerTests[t].category) != categories.end()) {
            tests |= static_cast<TestSet>(1u << t);
        }
    }
    return tests;
}

// The first position from `position` on where one of the given tests may hold, or the buffer's size.
std::size_t nextCandidate(std::span<const std::uint8_t> buffer, std::size_t position, TestSet tests)
{
    const std::size_t insideEnd = buffer.size() > farthestAnchor ? buffer.size() - farthestAnchor : 0;
    while (position < insideEnd && (candidateTestsInside(buffer.data() + position) & tests) == 0) {
        ++position;
    }
    while (position < buffer.size() && (candidateTests(buffer, position) & tests) == 0) {
        ++position;
    }
    return position;
}

// The index of the first test that holds at the position; nothing when none does.
std::optional<std::size_t> headerAt(std::span<const std::uint8_t> buffer, std::size_t position)
{
    for (TestSet candidates = candidateTests(buffer, position); candidates != 0; candidates &= candidates - 1) {
        const auto t = static_cast<std::size_t>(std::countr_zero(candidates));
        if (headerTests[t].holdsAt(buffer, position)) {
            return t;
        }
    }
    return std::nullopt;
}

#if defined(__SSE2__)

// Two neighbouring byte classes at a distance from a position. A test can start at a position only
// where one of these pairs holds; a pair may be wider than the tests it stands for (its first and
// second bytes may come from different tests), but on ordinary data few positions pass it, so the
// exact tests run rarely.
struct PairFilter {
    std::size_t distance;
    ByteClass first;
    ByteClass second;
};

constexpr PairFilter pairFilters[] = {
    // FF D8 FF and FF Ex: their second byte is the only wide class, so they keep a pair of their own.
    {0, ByteClass::oneOf({0xFF}), ByteClass::oneOf({0xD8}).orAlso(ByteClass::atLeast(0xE0))},
    {0, ByteClass::oneOf({0x89, 0x47, 0x25, 0x50, 0x52, 0x49, 0x42, 0x4D, 0x37}),
     ByteClass::oneOf({0x50, 0x49, 0x4B, 0x61, 0x44, 0x4D, 0x7A})},
    {4, ByteClass::oneOf({0x66}), ByteClass::oneOf({0x74})},
};

// Every test's anchor and the position after it must fall in one pair, or the filter would pass
// over places where the test holds.
constexpr bool pairFiltersCoverEveryTest = [] {
    for (const HeaderTest& test : headerTests) {
        const std::size_t anchor = test.anchor();
        bool covered = false;
        for (const PairFilter& filter : pairFilters) {
            covered = covered || (filter.distance == anchor && anchor + 1 < test.span &&
                                  filter.first.acceptsAllOf(test.positions[anchor]) &&
                                  filter.second.acceptsAllOf(test.positions[anchor + 1]));
        }
        if (!covered) {
            return false;
        }
    }
    return true;
}();
static_assert(pairFiltersCoverEveryTest);

constexpr std::size_t farthestPairByte = [] {
    std::size_t farthest = 0;
    for (const PairFilter& filter : pairFilters) {
        farthest = std::max(farthest, filter.distance + 1);
    }
    return farthest;
}();

// Consecutive byte values low to high; a byte class is tested run by run.
struct ByteRun {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
};

constexpr std::size_t runCount(const ByteClass& byteClass)
{
    std::size_t count = 0;
    for (unsigned value = 0; value <= 0xFF; ++value) {
        const bool starts = byteClass.accepts(static_cast<std::uint8_t>(value)) &&
                            (value == 0 || !byteClass.accepts(static_cast<std::uint8_t>(value - 1)));
        count += starts ? 1 : 0;
    }
    return count;
}

template <std::size_t count>
constexpr std::array<ByteRun, count> runsOf(const ByteClass& byteClass)
{
    std::array<ByteRun, count> runs{};
    std::size_t next = 0;
    for (unsigned value = 0; value <= 0xFF; ++value) {
        const auto byte = static_cast<std::uint8_t>(value);
        if (!byteClass.accepts(byte)) {
            continue;
        }
        if (value == 0 || !byteClass.accepts(static_cast<std::uint8_t>(value - 1))) {
            runs[next++] = ByteRun{byte, byte};
        } else {
            runs[next - 1].high = byte;
        }
    }
    return runs;
}

// 0xFF in each of the sixteen lanes whose byte lies in the run.
__m128i inRun(__m128i bytes, ByteRun run)
{
    if (run.low == run.high) {
        return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(run.low)));
    }
    const __m128i fromLow = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(run.low)));
    const __m128i width = _mm_set1_epi8(static_cast<char>(run.high - run.low));
    return _mm_cmpeq_epi8(_mm_min_epu8(fromLow, width), fromLow);
}

template <std::size_t count>
__m128i inRuns(__m128i bytes, const std::array<ByteRun, count>& runs)
{
    return [&]<std::size_t... run>(std::index_sequence<run...>) {
        __m128i in = _mm_setzero_si128();
        ((in = _mm_or_si128(in, inRun(bytes, runs[run]))), ...);
        return in;
    }(std::make_index_sequence<count>());
}

template <std::size_t filter, bool second>
__m128i inFilterClass(const std::uint8_t* block)
{
    constexpr std::size_t distance = pairFilters[filter].distance + (second ? 1 : 0);
    constexpr const ByteClass& byteClass = second ? pairFilters[filter].second : pairFilters[filter].first;
    constexpr auto runs = runsOf<runCount(byteClass)>(byteClass);
    return inRuns(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + distance)), runs);
}

// The same for the anchor of one test and the position after it: a filtered scan looks only for
// the tests of the wanted categories.
template <std::size_t test, bool second>
__m128i inTestClass(const std::uint8_t* block)
{
    constexpr std::size_t distance = headerTests[test].anchor() + (second ? 1 : 0);
    constexpr ByteClass byteClass = headerTests[test].positions[distance];
    constexpr auto runs = runsOf<runCount(byteClass)>(byteClass);
    return inRuns(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + distance)), runs);
}

constexpr std::size_t blockSize = 16;

// Bit j is set when position j of the block may start a test. Reads the block and the
// farthestPairByte bytes after it. Unrolled, so that the compare values stay in registers.
std::uint32_t candidatesInBlock(const std::uint8_t* block)
{
    return [block]<std::size_t... filter>(std::index_sequence<filter...>) {
        __m128i candidates = _mm_setzero_si128();
        ((candidates = _mm_or_si128(candidates, _mm_and_si128(inFilterClass<filter, false>(block),
                                                              inFilterClass<filter, true>(block)))),
         ...);
        return static_cast<std::uint32_t>(_mm_movemask_epi8(candidates));
    }(std::make_index_sequence<std::size(pairFilters)>());
}

// The same for the given tests alone.
std::uint32_t candidatesInBlock(const std::uint8_t* block, TestSet tests)
{
    return [block, tests]<std::size_t... test>(std::index_sequence<test...>) {
        __m128i candidates = _mm_setzero_si128();
        ((candidates = ((tests >> test) & 1) != 0
                           ? _mm_or_si128(candidates, _mm_and_si128(inTestClass<test, false>(block),
                                                                    inTestClass<test, true>(block)))
                           : candidates),
         ...);
        return static_cast<std::uint32_t>(_mm_movemask_epi8(candidates));
    }(std::make_index_sequence<std::size(headerTests)>());
}

#endif

// A position gives the hit of the first test that holds there, and only when that test is one of
// `kept`: a position whose first test is not kept gives nothing, as if its hit had been made and
// dropped. Hits of tests that are not kept are never made.
template <bool everyTest>
HeaderHits scanForTests(std::span<const std::uint8_t> buffer, std::size_t maxHits, TestSet kept)
{
    HeaderHits hits;
    if (maxHits == 0 || kept == 0) {
        return hits;
    }
    const auto keep = [&](std::size_t at) {
        const std::optional<std::size_t> test = headerAt(buffer, at);
        if (test && (everyTest || ((kept >> *test) & 1) != 0)) {
            hits.emplace_back(at, headerTests[*test].category);
        }
    };
    std::size_t position = 0;
#if defined(__SSE2__)
    // The hot path: nearly every position of ordinary data starts no test, and whole blocks of
    // them are passed over at once. The positions near the end go through the loop below.
    for (; position + blockSize + farthestPairByte <= buffer.size(); position += blockSize) {
        std::uint32_t candidates = everyTest ? candidatesInBlock(buffer.data() + position)
                                             : candidatesInBlock(buffer.data() + position, kept);
        for (; candidates != 0; candidates &= candidates - 1) {
            keep(position + static_cast<std::size_t>(std::countr_zero(candidates)));
            if (hits.size() == maxHits) {
                return hits;
            }
        }
    }
#endif
    for (position = nextCandidate(buffer, position, kept); position < buffer.size() && hits.size() < maxHits;
         position = nextCandidate(buffer, position + 1, kept)) {
        keep(position);
    }
    return hits;
}

} // namespace

HeaderHits scanBufferForHeaders(std::span<const std::uint8_t> buffer, std::size_t maxHits)
{
    return scanForTests<true>(buffer, maxHits, allTests);
}

HeaderHits scanBufferForHeaders(std::span<const std::uint8_t> buffer, std::size_t maxHits,
                                std::span<const std::string> categories)
{
    const TestSet kept = testsOfCategories(categories);
    return kept == allTests ? scanForTests<true>(buffer, maxHits, kept) : scanForTests<false>(buffer, maxHits, kept);
}
