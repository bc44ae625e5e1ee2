#include "file_type_detector.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Row = std::tuple<std::string, std::int32_t, std::vector<std::uint8_t>, std::vector<std::uint8_t>>;

std::vector<Row> rowsOf(const FileTypeDetector::SignatureTable& table)
{
    std::vector<Row> rows;
    for (const auto& [category, signatures] : table) {
        for (const FileSignature& signature : signatures) {
            rows.emplace_back(category, signature.offset, signature.magic, signature.mask);
        }
    }
    return rows;
}

class FileTypeDetection : public ::testing::Test {
protected:
    ScratchFolder folder;
    const FileTypeDetector detector;
};

} // namespace

TEST(SignatureTable, CategoriesComeInByteWiseKeyOrder)
{
    const FileTypeDetector detector;
    std::vector<std::string> keys;
    std::vector<std::size_t> sizes;
    for (const auto& [category, rows] : detector.signatureTable()) {
        keys.push_back(category);
        sizes.push_back(rows.size());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"archive", "audio", "document", "email", "executable", "image",
                                              "text", "video"}));
    // Repeated rows are kept, so the lists are longer than their distinct patterns.
    EXPECT_EQ(sizes, (std::vector<std::size_t>{21, 24, 18, 10, 1, 29, 7, 26}));
    EXPECT_TRUE(detector.isReady());
}

TEST(SignatureTable, TwoDetectorsHoldEqualIndependentTables)
{
    auto first = std::make_unique<FileTypeDetector>();
    const FileTypeDetector second;
    const std::vector<Row> rows = rowsOf(second.signatureTable());
    ASSERT_EQ(rows.size(), 136u);
    EXPECT_EQ(rowsOf(first->signatureTable()), rows);
    EXPECT_NE(first->signatureTable().at("image").front().magic.data(),
              second.signatureTable().at("image").front().magic.data());

    first.reset();
    EXPECT_EQ(rowsOf(second.signatureTable()), rows);
}

TEST(DetectorExtensionMap, FirstRowOfARepeatedKeyWins)
{
    EXPECT_EQ(FileTypeDetector::categoryForExtension(".mht"), "document");
    EXPECT_EQ(FileTypeDetector::categoryForExtension(".dat"), "video");
    for (const char* extension : {".exe", ".dll", ".sys"}) {
        EXPECT_EQ(FileTypeDetector::categoryForExtension(extension), "executable") << extension;
    }
}

TEST(DetectorExtensionMap, LookupIsExactAndCaseSensitive)
{
    EXPECT_EQ(FileTypeDetector::categoryForExtension(".jpg"), "image");
    for (const char* extension : {".JPG", "jpg", "", ".", ".jpg ", ".tar.gz", ".mid"}) {
        EXPECT_EQ(FileTypeDetector::categoryForExtension(extension), "other") << extension;
    }
}

TEST(DetectorFormatList, EveryCallGivesItsOwnList)
{
    auto first = FileTypeDetector::getSupportedFormats();
    const auto second = FileTypeDetector::getSupportedFormats();
    ASSERT_EQ(first.size(), 134u);
    EXPECT_EQ(first.front(), std::make_pair(std::string("JPEG"), std::string(".jpg/.jpeg")));
    EXPECT_EQ(first.back(), std::make_pair(std::string("DMG"), std::string(".dmg")));
    EXPECT_EQ(first, second);

    first.front().first = "changed";
    EXPECT_EQ(FileTypeDetector::getSupportedFormats(), second);
}

TEST_F(FileTypeDetection, ExtensionIsCutAtTheLastDotOfTheWholePath)
{
    ASSERT_EQ(folder.path().find('.'), std::string::npos) << "the test folder itself must hold no dot";

    const FileTypeInfo photo = detector.detectFileType(folder.writeFile("photo.JPG", "hello"));
    EXPECT_EQ(photo.type, "image");
    EXPECT_EQ(photo.extension, ".jpg");
    EXPECT_EQ(photo.description, "检测到的image文件");

    const FileTypeInfo readme = detector.detectFileType(folder.writeFile("README", "hello"));
    EXPECT_EQ(readme.type, "unknown");
    EXPECT_EQ(readme.extension, "");
    EXPECT_EQ(readme.description, "检测到的unknown文件");

    const FileTypeInfo inFolder = detector.detectFileType(folder.writeFile("backup.old/readme", "hello"));
    EXPECT_EQ(inFolder.type, "other");
    EXPECT_EQ(inFolder.extension, ".old" + separator() + "readme");

    const FileTypeInfo trailing = detector.detectFileType(folder.writeFile("notes.", "hello"));
    EXPECT_EQ(trailing.type, "other");
    EXPECT_EQ(trailing.extension, ".");
}

TEST_F(FileTypeDetection, NonAsciiNamesOpenByTheirNarrowPath)
{
    // Only an opened file can show its JPEG bytes through a ".txt" name.
    const std::string path = folder.writeFile("照片.TXT", "\xFF\xD8\xFF\xE0");
    EXPECT_TRUE(detector.isReadable(path));
    const FileTypeInfo info = detector.detectFileType(path);
    EXPECT_EQ(info.type, "image");
    EXPECT_EQ(info.extension, ".txt");
}

TEST_F(FileTypeDetection, MissingFileKeepsTheExtensionsAnswer)
{
    const std::string path = folder.pathOf("gone.zip");
    const FileTypeInfo info = detector.detectFileType(path);
    EXPECT_EQ(info.type, "archive");
    EXPECT_EQ(info.extension, ".zip");
    EXPECT_TRUE(detector.detectAllBySignatures(path).empty());
    EXPECT_FALSE(detector.isReadable(path));
    EXPECT_FALSE(detector.matchesAnySignature(path, {{0, {}, {}}}));
}

TEST_F(FileTypeDetection, FolderIsNeverReadAsAFile)
{
    const std::string path = folder.makeFolder("album.jpg");
    EXPECT_FALSE(detector.isReadable(path));
    EXPECT_EQ(detector.detectFileType(path).type, "image");
    EXPECT_TRUE(detector.detectAllBySignatures(path).empty());
    EXPECT_FALSE(detector.matchesAnySignature(path, {{0, {}, {}}}));

    EXPECT_TRUE(detector.isReadable(folder.writeFile("empty.bin")));
}

#ifdef __linux__
// A procfs file cannot tell its length: it counts as empty, so none of its bytes are judged.
TEST_F(FileTypeDetection, StreamWithoutALengthIsJudgedOnNoBytes)
{
    const std::string path = "/proc/self/status";
    std::ifstream direct(path, std::ios::binary);
    std::string start(4, '\0');
    direct.read(start.data(), 4);
    ASSERT_EQ(start, "Name");

    EXPECT_FALSE(detector.matchesAnySignature(path, {{0, {'N', 'a', 'm', 'e'}, {}}}));
    EXPECT_EQ(detector.detectFileType(path).type, "unknown");
}
#endif
