#include "file_type_detector.h"
#include "reference_matching.h"
#include "scratch_folder.h"
#include "signature_match.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace {

std::string bytes(std::initializer_list<unsigned char> list)
{
    return std::string(list.begin(), list.end());
}

// No row of the table looks for '-' anywhere, so a file of these bytes matches nothing.
std::string filler(std::size_t count)
{
    return std::string(count, '-');
}

const std::string jpegStart = bytes({0xFF, 0xD8, 0xFF, 0xE0});
const std::string ole2Header = bytes({0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1});
const std::string zipStart = bytes({'P', 'K', 0x03, 0x04});
const std::string pngStart = bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R'});

class SignatureMatching : public ::testing::Test {
protected:
    std::string typeOf(std::string_view name, std::string_view content) const
    {
        return detector.detectFileType(folder.writeFile(name, content)).type;
    }

    std::vector<std::string> allTypesOf(std::string_view name, std::string_view content) const
    {
        std::vector<std::string> types;
        for (const FileTypeInfo& info : detector.detectAllBySignatures(folder.writeFile(name, content))) {
            types.push_back(info.type);
        }
        return types;
    }

    bool matches(std::string_view content, std::vector<FileSignature> rows) const
    {
        return detector.matchesAnySignature(folder.writeFile("probe.bin", content), rows);
    }

    ScratchFolder folder;
    const FileTypeDetector detector;
};

} // namespace

TEST_F(SignatureMatching, RowAtOffsetZeroOverridesTheExtension)
{
    const FileTypeInfo info = detector.detectFileType(folder.writeFile("x.dat", jpegStart + filler(20)));
    EXPECT_EQ(info.type, "image");
    EXPECT_EQ(info.extension, ".dat");
    EXPECT_EQ(info.description, "检测到的image文件");

    // Almost a JPEG: the extension's answer stands.
    EXPECT_EQ(typeOf("shifted.dat", "-" + jpegStart), "video");
    EXPECT_EQ(typeOf("last.dat", bytes({0xFF, 0xD8, 0xFE, 0xE0})), "video");
    EXPECT_EQ(typeOf("plain.bin", filler(40)), "other");
}

TEST_F(SignatureMatching, RowsAtOffsetsFourAndEight)
{
    EXPECT_EQ(typeOf("a.bin", bytes({0, 0, 0, 0x18}) + "ftypisom"), "video");
    EXPECT_EQ(typeOf("b.bin", bytes({0, 0, 0}) + "ftypisom"), "other");
    EXPECT_EQ(typeOf("c.bin", bytes({0, 0, 0, 0, 0x18}) + "ftypisom"), "other");
    EXPECT_EQ(typeOf("d.bin", bytes({0, 0, 0, 0x18}) + "ftypM4A "), "audio");

    EXPECT_EQ(typeOf("e.bin", filler(8) + "WEBP"), "image");
    EXPECT_EQ(typeOf("f.bin", filler(7) + "WEBP"), "other");
    EXPECT_EQ(typeOf("g.bin", filler(9) + "WEBP"), "other");
    EXPECT_EQ(typeOf("h.bin", filler(8) + "WEBQ"), "other");
}

TEST_F(SignatureMatching, RowAtOffset257NeedsAllItsBytesRead)
{
    const std::string raw = filler(257) + bytes({'I', 'I', 0x1A, 0, 0, 0, 'C', 'R'});
    ASSERT_EQ(raw.size(), 265u);
    EXPECT_EQ(typeOf("a.bin", raw), "image");
    EXPECT_EQ(typeOf("b.bin", raw.substr(0, 264)), "other");
    EXPECT_EQ(typeOf("c.bin", raw.substr(0, 264) + "S"), "other");
    EXPECT_EQ(typeOf("d.bin", "-" + raw), "other");
}

TEST_F(SignatureMatching, MaskedRowsCompareOnlyTheMaskedBits)
{
    EXPECT_TRUE(matches("\xF7", {{0, {0xF0}, {0xF0}}}));
    EXPECT_FALSE(matches("\xE7", {{0, {0xF0}, {0xF0}}}));
    EXPECT_FALSE(matches("\xF7", {{0, {0xF0}, {}}}));
    // A mask that does not cover its magic bytes is never compared.
    EXPECT_FALSE(matches("\xF7\xF7", {{0, {0xF0, 0xF0}, {0xF0}}}));

    EXPECT_EQ(typeOf("a.bin", bytes({0xFF, 0xFB, 0x90, 0x00})), "audio");
    EXPECT_EQ(typeOf("b.bin", bytes({0xFF, 0xF2, 0x90, 0x00})), "audio");
    EXPECT_EQ(typeOf("c.bin", bytes({0xFF, 0xFA, 0x90, 0x00})), "other");
}

TEST_F(SignatureMatching, RowsBeyondTheBytesReadArePassedOver)
{
    // Past the end of the file there is nothing to compare, not even zeros.
    EXPECT_FALSE(matches("abc", {{3, {0x00}, {}}}));
    EXPECT_TRUE(matches(std::string("abc\0", 4), {{3, {0x00}, {}}}));

    EXPECT_EQ(typeOf("short.bin", zipStart.substr(0, 3)), "other");
    EXPECT_TRUE(allTypesOf("short.bin", zipStart.substr(0, 3)).empty());
    EXPECT_EQ(typeOf("silence.mp3", ""), "audio");
    EXPECT_TRUE(allTypesOf("silence.mp3", "").empty());
}

TEST_F(SignatureMatching, OnlyTheFirst4096BytesAreJudged)
{
    const std::string content = filler(4095) + "XY" + filler(3000);
    EXPECT_TRUE(matches(content, {{4095, {'X'}, {}}}));
    EXPECT_FALSE(matches(content, {{4096, {'Y'}, {}}}));
    EXPECT_FALSE(matches(content, {{4095, {'X', 'Y'}, {}}}));

    EXPECT_EQ(typeOf("big.bin", pngStart + filler(10000)), "image");
}

TEST_F(SignatureMatching, KeyOrderDecidesBetweenCategoriesSharingARow)
{
    EXPECT_EQ(typeOf("report.docx", zipStart + filler(30)), "archive");
    EXPECT_EQ(typeOf("mail.msg", ole2Header + filler(30)), "document");
    EXPECT_EQ(typeOf("sound.wav", "RIFF" + bytes({0x24, 0, 0, 0}) + "WAVEfmt "), "audio");
    EXPECT_EQ(typeOf("clip.avi", "RIFF" + bytes({0x24, 0, 0, 0}) + "AVI LIST"), "audio");
    EXPECT_EQ(typeOf("webp.bin", "RIFF" + bytes({0x24, 0, 0, 0}) + "WEBPVP8 "), "audio");
    EXPECT_EQ(typeOf("data.xml", "<?xml version=\"1.0\"?>"), "image");

    // Almost matches leave the extension's answer.
    EXPECT_EQ(typeOf("a.docx", bytes({'P', 'K', 0x03, 0x05}) + filler(30)), "document");
    EXPECT_EQ(typeOf("b.docx", "-" + zipStart), "document");
    std::string almostOle2 = ole2Header;
    almostOle2.back() = '\xE0';
    EXPECT_EQ(typeOf("c.msg", almostOle2 + filler(30)), "email");
    EXPECT_EQ(typeOf("d.msg", "-" + ole2Header), "email");
    EXPECT_EQ(typeOf("e.avi", "RIFE" + filler(10)), "video");
    EXPECT_EQ(typeOf("f.avi", "-RIFF" + filler(10)), "video");
    EXPECT_EQ(typeOf("g.xml", "<?xmL version"), "text");
    EXPECT_EQ(typeOf("h.xml", " <?xml version"), "text");
}

TEST_F(SignatureMatching, AllSignaturesGiveEachMatchingCategoryOnce)
{
    const auto png = detector.detectAllBySignatures(folder.writeFile("p.png", pngStart));
    ASSERT_EQ(png.size(), 1u);
    EXPECT_EQ(png[0].type, "image");
    EXPECT_EQ(png[0].description, "通过签名检测到的image文件");

    EXPECT_EQ(allTypesOf("z.zip", zipStart + filler(30)), (std::vector<std::string>{"archive", "document"}));
    EXPECT_EQ(allTypesOf("o.bin", ole2Header), (std::vector<std::string>{"document", "email"}));
    EXPECT_TRUE(allTypesOf("n.bin", filler(2000)).empty());
}

TEST(SignatureRowTest, AgreesWithThePlainDefinitionOnRandomRowsAndMasks)
{
    // A small alphabet of bytes that differ in their high and low halves makes matches common.
    const std::uint8_t alphabet[] = {0x00, 0x0F, 0xF0, 0xFF};
    std::mt19937 random(1108);
    auto anyOf = [&](std::size_t count) {
        std::vector<std::uint8_t> bytes(count);
        for (std::uint8_t& value : bytes) {
            value = alphabet[random() % 4];
        }
        return bytes;
    };

    int matched = 0;
    int missed = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::size_t length = random() % 5;
        FileSignature row{static_cast<std::int32_t>(random() % 9) - 2, anyOf(length), {}};
        switch (random() % 3) {
        case 0: break;
        case 1: row.mask = anyOf(length); break;
        default: row.mask = anyOf(random() % 5); break;
        }
        const std::vector<std::uint8_t> bytes = anyOf(random() % 8);
        const bool expected = reference::rowMatches(bytes, row);
        ASSERT_EQ(signatureRowMatches(bytes, row), expected) << "round " << round;
        ++(expected ? matched : missed);
    }
    EXPECT_GT(matched, 1000);
    EXPECT_GT(missed, 1000);
}

TEST(SignatureRowTest, AgreesWithThePlainDefinitionOnTheDetectorsRows)
{
    const FileTypeDetector detector;
    std::mt19937 random(1110);
    int matched = 0;
    int missed = 0;
    for (const auto& [category, rows] : detector.signatureTable()) {
        for (const FileSignature& row : rows) {
            for (int round = 0; round < 50; ++round) {
                // The row's own bytes at its offset, now and then one of them changed or cut off.
                std::vector<std::uint8_t> bytes(static_cast<std::size_t>(row.offset) + 20, '-');
                std::copy(row.magic.begin(), row.magic.end(), bytes.begin() + row.offset);
                if (round % 3 == 1) {
                    bytes[static_cast<std::size_t>(row.offset) + random() % row.magic.size()] ^= 1u << (random() % 8);
                }
                const std::size_t end = static_cast<std::size_t>(row.offset) + row.magic.size();
                const std::size_t extra = random() % 4;
                bytes.resize(end + extra - 1);
                const bool expected = reference::rowMatches(bytes, row);
                ASSERT_EQ(signatureRowMatches(bytes, row), expected) << category << " round " << round;
                ++(expected ? matched : missed);
            }
        }
    }
    EXPECT_GT(matched, 1000);
    EXPECT_GT(missed, 1000);
}
