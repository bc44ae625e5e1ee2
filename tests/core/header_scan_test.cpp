#include "header_scan.h"
#include "reference_matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes(std::initializer_list<std::uint8_t> list)
{
    return Bytes(list);
}

Bytes bytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// '-' starts no header and is never the 'f' of "ftyp", so filler adds no hits of its own.
Bytes filler(std::size_t count)
{
    return Bytes(count, '-');
}

HeaderHits scan(const Bytes& buffer, std::size_t maxHits = unlimitedHeaderHits)
{
    return scanBufferForHeaders(buffer, maxHits);
}

using Categories = std::vector<std::string>;

HeaderHits scan(const Bytes& buffer, const Categories& categories, std::size_t maxHits = unlimitedHeaderHits)
{
    return scanBufferForHeaders(buffer, maxHits, categories);
}

HeaderHits hit(std::uint64_t offset, const std::string& category)
{
    return {{offset, category}};
}

struct Example {
    Bytes header;
    std::string category;
    std::string categoryWithoutLastByte = {};   // empty: then nothing holds
};

// One header for each test, each giving exactly one hit at its first byte.
std::vector<Example> oneHeaderPerTest()
{
    return {
        {bytes({0xFF, 0xD8, 0xFF}), "image"},
        {bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), "image"},
        {bytes("GIF87a"), "image"},
        {bytes("%PDF-"), "document"},
        {bytes({'P', 'K', 0x03, 0x04}), "archive"},
        {bytes({0x00, 0x00, 0x00, 0x18}) + bytes("ftyp"), "video"},
        // A WAVE header cut short is still a RIFF one.
        {bytes("RIFF") + bytes({0x24, 0x08, 0x00, 0x00}) + bytes("WAVE"), "audio", "video"},
        {bytes("RIFF"), "video"},
        {bytes("ID3"), "audio"},
        {bytes({0xFF, 0xFB}), "audio"},
        {bytes("BM"), "image"},
        {bytes({'I', 'I', 0x2A, 0x00}), "image"},
        {bytes({'M', 'M', 0x00, 0x2A}), "image"},
        {bytes({'R', 'a', 'r', '!', 0x1A, 0x07, 0x00}), "archive"},
        {bytes({'7', 'z', 0xBC, 0xAF, 0x27, 0x1C}), "archive"},
    };
}

} // namespace

TEST(HeaderScan, EveryHeaderIsFoundAtTheStartInTheMiddleAndAtTheEnd)
{
    for (const Example& example : oneHeaderPerTest()) {
        SCOPED_TRACE(example.category + " header of " + std::to_string(example.header.size()) + " bytes");
        EXPECT_EQ(scan(example.header), hit(0, example.category));
        EXPECT_EQ(scan(example.header + filler(20)), hit(0, example.category));
        EXPECT_EQ(scan(filler(37) + example.header + filler(20)), hit(37, example.category));
        EXPECT_EQ(scan(filler(37) + example.header), hit(37, example.category));
        EXPECT_EQ(scan(filler(1000) + example.header), hit(1000, example.category));
    }
}

TEST(HeaderScan, AHeaderRunningPastTheEndDoesNotHold)
{
    for (const Example& example : oneHeaderPerTest()) {
        SCOPED_TRACE(example.category + " header of " + std::to_string(example.header.size()) + " bytes");
        Bytes cut = filler(37) + example.header;
        cut.pop_back();
        const HeaderHits hits = scan(cut);
        if (example.categoryWithoutLastByte.empty()) {
            EXPECT_TRUE(hits.empty());
        } else {
            EXPECT_EQ(hits, hit(37, example.categoryWithoutLastByte));
        }
    }
    EXPECT_TRUE(scan(bytes({'P', 'K', 0x03})).empty());
    EXPECT_TRUE(scan(bytes("ftyp")).empty());
    EXPECT_TRUE(scan(bytes("abcftyp")).empty());
}

TEST(HeaderScan, EmptyAndOneByteBuffersHoldNoHeader)
{
    EXPECT_TRUE(scan({}).empty());
    for (unsigned value = 0; value <= 0xFF; ++value) {
        EXPECT_TRUE(scan(Bytes{static_cast<std::uint8_t>(value)}).empty()) << value;
    }
}

TEST(HeaderScan, EarlierTestsWinAndEveryPositionIsTried)
{
    // The JPEG test wins at 0; two bytes on, FF E0 starts an MPEG audio frame.
    EXPECT_EQ(scan(bytes({0xFF, 0xD8, 0xFF, 0xE0})), (HeaderHits{{0, "image"}, {2, "audio"}}));
    EXPECT_EQ(scan(bytes({0xFF, 0xD8, 0xFF, 0xE0}) + filler(3) + bytes({0xFF, 0xD8, 0xFF})),
              (HeaderHits{{0, "image"}, {2, "audio"}, {7, "image"}}));
    // Overlapping hits: every 0xFF followed by another starts one.
    EXPECT_EQ(scan(bytes({0xFF, 0xFF, 0xFF})), (HeaderHits{{0, "audio"}, {1, "audio"}}));

    const Bytes size = bytes({0x24, 0x08, 0x00, 0x00});
    EXPECT_EQ(scan(bytes("RIFF") + size + bytes("WAVEfmt ")), hit(0, "audio"));
    EXPECT_EQ(scan(bytes("RIFF") + size + bytes("AVI LIST")), hit(0, "video"));
    EXPECT_EQ(scan(bytes("RIFF") + size + bytes("WAVe")), hit(0, "video"));
    EXPECT_EQ(scan(bytes("RIFFRIFF")), (HeaderHits{{0, "video"}, {4, "video"}}));

    // "ftyp" four bytes on is tried before the tests from ID3 on, after those up to "PK".
    EXPECT_EQ(scan(bytes("ID3") + bytes({0x04}) + bytes("ftyp")), hit(0, "video"));
    EXPECT_EQ(scan(bytes("BM") + bytes({0x00, 0x00}) + bytes("ftyp")), hit(0, "video"));
    EXPECT_EQ(scan(bytes({0xFF, 0xFB, 0x00, 0x00}) + bytes("ftyp")), hit(0, "video"));
    EXPECT_EQ(scan(bytes({'P', 'K', 0x03, 0x04}) + bytes("ftyp")), hit(0, "archive"));
    EXPECT_EQ(scan(bytes("%PDF") + bytes("ftyp")), hit(0, "video"));
    EXPECT_EQ(scan(bytes("%PDF-ftyp")), (HeaderHits{{0, "document"}, {1, "video"}}));
}

TEST(HeaderScan, ArchiveAndGifHeadersAcceptOnlyTheirVariants)
{
    for (std::uint8_t third : {0x03, 0x05, 0x07}) {
        for (std::uint8_t fourth : {0x04, 0x06, 0x08}) {
            EXPECT_EQ(scan(bytes({'P', 'K', third, fourth})), hit(0, "archive")) << int(third) << int(fourth);
        }
    }
    for (const Bytes& almost : {bytes({'P', 'K', 0x04, 0x03}), bytes({'P', 'K', 0x01, 0x02}),
                                bytes({'P', 'K', 0x03, 0x05}), bytes({'P', 'k', 0x03, 0x04})}) {
        EXPECT_TRUE(scan(almost).empty());
    }

    EXPECT_EQ(scan(bytes("GIF89a")), hit(0, "image"));
    EXPECT_TRUE(scan(bytes("GIF88a")).empty());
    EXPECT_TRUE(scan(bytes("GIF87b")).empty());

    EXPECT_EQ(scan(bytes({0xFF, 0xE0})), hit(0, "audio"));
    EXPECT_TRUE(scan(bytes({0xFF, 0xDF})).empty());
}

TEST(HeaderScan, HitLimitKeepsTheFirstHitsInOrder)
{
    // Erased media: 0xFF at every byte starts an audio frame everywhere but at the last byte.
    const Bytes erased(512 * 1024, 0xFF);
    const HeaderHits all = scan(erased);
    ASSERT_EQ(all.size(), erased.size() - 1);
    EXPECT_EQ(all.back(), (std::pair<std::uint64_t, std::string>{erased.size() - 2, "audio"}));

    const HeaderHits first = scan(erased, 100);
    ASSERT_EQ(first.size(), 100u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), all.begin()));
    EXPECT_TRUE(scan(erased, 0).empty());

    const Bytes sparse = bytes("BM") + filler(10) + bytes("ID3") + filler(10) + bytes("RIFF");
    EXPECT_EQ(scan(sparse, 2), (HeaderHits{{0, "image"}, {12, "audio"}}));
    EXPECT_EQ(scan(sparse, 3), scan(sparse));
    EXPECT_EQ(scan(sparse, 4), scan(sparse));
}

TEST(HeaderScan, AgreesWithThePlainDefinitionOnRandomBuffers)
{
    std::mt19937 random(20260203);
    std::uniform_int_distribution<int> byte(0, 0xFF);
    std::uniform_int_distribution<std::size_t> length(0, 300);
    std::size_t hitCount = 0;
    for (int round = 0; round < 2000; ++round) {
        Bytes buffer(round == 0 ? 256 * 1024 : length(random));
        for (std::uint8_t& value : buffer) {
            value = static_cast<std::uint8_t>(byte(random));
        }
        const auto expected = reference::headerScan(buffer);
        ASSERT_EQ(scan(buffer), expected) << "round " << round;
        hitCount += expected.size();
    }
    EXPECT_GT(hitCount, 200u);
}

TEST(HeaderScan, AgreesWithThePlainDefinitionOnDenseBuffers)
{
    // Fragments of headers, whole and cut, next to each other: hits, near misses and overlaps.
    std::vector<Bytes> pieces;
    for (const Example& example : oneHeaderPerTest()) {
        for (std::size_t cut = 1; cut <= example.header.size(); ++cut) {
            pieces.emplace_back(example.header.begin(), example.header.begin() + cut);
        }
    }
    for (std::uint8_t single : {0x00, 0x03, 0x05, 0x07, 0x08, 0x37, 0x39, 0x61, 0x66, 0xBF, 0xDF, 0xE0, 0xFF}) {
        pieces.push_back(Bytes{single});
    }
    pieces.push_back(bytes("GIF89a"));
    pieces.push_back(bytes("WAVE"));

    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<std::size_t> count(0, 60);
    std::size_t hitCount = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes buffer;
        for (std::size_t n = count(random); n > 0; --n) {
            buffer = buffer + pieces[pick(random)];
        }
        const auto expected = reference::headerScan(buffer);
        ASSERT_EQ(scan(buffer), expected) << "round " << round;
        const std::size_t limit = std::uniform_int_distribution<std::size_t>(0, expected.size())(random);
        ASSERT_EQ(scan(buffer, limit), HeaderHits(expected.begin(), expected.begin() + limit)) << "round " << round;
        hitCount += expected.size();
    }
    EXPECT_GT(hitCount, 10000u);
}

TEST(HeaderScan, FilterKeepsAPositionOnlyWhenItsFirstHoldingTestIsWanted)
{
    const Bytes jpeg = bytes({0xFF, 0xD8, 0xFF, 0xE0});
    EXPECT_EQ(scan(jpeg, {"audio"}), hit(2, "audio"));
    EXPECT_EQ(scan(jpeg, {"image"}), hit(0, "image"));

    // An earlier test that holds hides a later one of a wanted category at the same position.
    const Bytes wave = bytes("RIFF") + bytes({0x24, 0x08, 0x00, 0x00}) + bytes("WAVEfmt ");
    EXPECT_TRUE(scan(wave, {"video"}).empty());
    EXPECT_EQ(scan(wave, {"audio"}), hit(0, "audio"));
    EXPECT_TRUE(scan(bytes({'P', 'K', 0x03, 0x04}) + bytes("ftyp"), {"video"}).empty());
    EXPECT_TRUE(scan(bytes("ID3") + bytes({0x04}) + bytes("ftyp"), {"audio"}).empty());
    EXPECT_EQ(scan(bytes("%PDF-ftyp"), {"video"}), hit(1, "video"));

    // Keywords that no header test has, or spelt otherwise, keep nothing.
    EXPECT_TRUE(scan(jpeg, {"text"}).empty());
    EXPECT_TRUE(scan(jpeg, {"Image"}).empty());
    EXPECT_EQ(scan(jpeg, Categories{}), scan(jpeg));
    EXPECT_EQ(scan(jpeg, {"image", "document", "archive", "video", "audio"}), scan(jpeg));

    // Erased media starts an audio header at every byte but the last.
    const Bytes erased(512 * 1024, 0xFF);
    EXPECT_TRUE(scan(erased, {"image", "document", "archive", "video"}).empty());
    EXPECT_EQ(scan(erased, {"audio"}, 1000), scan(erased, 1000));
}

TEST(HeaderScan, FilteredScanAgreesWithFilteringThePlainDefinition)
{
    const Categories keywords = {"image", "document", "archive", "video", "audio", "text"};
    std::vector<Bytes> pieces;
    for (const Example& example : oneHeaderPerTest()) {
        pieces.push_back(example.header);
        pieces.emplace_back(example.header.begin(), example.header.end() - 1);
    }
    for (std::uint8_t single : {0x00, 0x2D, 0xE0, 0xFF}) {
        pieces.push_back(Bytes{single});
    }
    pieces.push_back(Bytes(40, 0xFF));

    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<std::size_t> count(0, 80);
    std::uniform_int_distribution<unsigned> subset(0, (1u << keywords.size()) - 1);
    std::size_t keptCount = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes buffer;
        for (std::size_t n = count(random); n > 0; --n) {
            buffer = buffer + pieces[pick(random)];
        }
        Categories categories;
        const unsigned chosen = subset(random);
        for (std::size_t k = 0; k < keywords.size(); ++k) {
            if ((chosen >> k) & 1) {
                categories.push_back(keywords[k]);
            }
        }
        const auto expected = reference::headerScan(buffer, categories);
        ASSERT_EQ(scan(buffer, categories), expected) << "round " << round;
        const std::size_t limit = std::uniform_int_distribution<std::size_t>(0, expected.size())(random);
        ASSERT_EQ(scan(buffer, categories, limit), HeaderHits(expected.begin(), expected.begin() + limit))
            << "round " << round;
        keptCount += expected.size();
    }
    EXPECT_GT(keptCount, 10000u);
}
