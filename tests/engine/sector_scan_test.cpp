#include "allocation_count.h"
#include "disk_image.h"
#include "drive_ownership.h"
#include "made_files.h"
#include "mapped_drive.h"
#include "sector_reader.h"
#include "stream_capture.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <utility>

using namespace std::string_view_literals;
using Lines = std::vector<std::string>;

namespace {

std::vector<FileInfo> recordsBy(const std::vector<FileInfo>& records, const std::string& method)
{
    std::vector<FileInfo> kept;
    std::copy_if(records.begin(), records.end(), std::back_inserter(kept),
                 [&](const FileInfo& record) { return record.recoveryMethod == method; });
    return kept;
}

std::vector<std::string> pathsOf(const std::vector<FileInfo>& records)
{
    std::vector<std::string> paths;
    for (const FileInfo& record : records) {
        paths.push_back(record.path);
    }
    return paths;
}

std::vector<std::string> sorted(std::vector<std::string> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, std::string_view prefix)
{
    std::vector<std::string> found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [&](const std::string& line) { return line.starts_with(prefix); });
    return found;
}

// The folder walk runs on drive T:, a folder of the test's own; each tree lives under T:\walk.
class SectorWalk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ownDrive(L"t:")); }

    std::vector<FileInfo> walkRecords(const std::string& location, const std::vector<std::string>& fileTypes,
                                      int maxDepth)
    {
        return recordsBy(reader.performSectorLevelScan(location, fileTypes, maxDepth), "filesystem_scan");
    }

    MadeFiles made;
    SectorReader reader;
};

// Raw volume R: is an image file that each test writes; drive R: is an empty folder.
class RawVolume : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ownDrive(L"r:"));
        ASSERT_TRUE(ownDrive(L"r::"));
        ASSERT_TRUE(ownDrive(L"s::"));
        image = mappedDriveTarget(L"r::");
    }

    // (absolute offset, category) of every raw hit, from the records.
    static std::vector<std::pair<std::uint64_t, std::string>> hitsOf(const std::vector<FileInfo>& records)
    {
        std::vector<std::pair<std::uint64_t, std::string>> hits;
        for (const FileInfo& record : recordsBy(records, "signature_based")) {
            hits.emplace_back(std::stoull(record.path.substr(record.path.rfind('_') + 1)), record.fileType);
        }
        return hits;
    }

    std::wstring image;
    SectorReader reader;
};

const std::vector<ImagePiece> headerPieces = {
    {4096, "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00"sv},
    {8192, "\x89PNG\x0D\x0A\x1A\x0A"sv},
    {12288, "%PDF-1.7"sv},
    {16384, "PK\x03\x04"sv},
    {16400, "PK\x07\x08"sv},
    {16416, "PK\x03\x09"sv},   // no pairing of the archive test
    {20480, "RIFF\x24\x00\x00\x00WAVEfmt "sv},
    {24576, "RIFF\x24\x00\x00\x00" "AVI LIST"sv},
    {28672, "\x00\x00\x00\x18" "ftypisom"sv},
};

} // namespace

TEST_F(SectorWalk, ProtectedFoldersAreCaseSensitiveSubstringsOfTheSubfolderPath)
{
    for (const wchar_t* file : {L"a.txt", L"$Recycle.Bin\\r.txt", L"System Volume Information\\s.txt",
                                L"$SysReset\\x.txt", L"one\\Config.Msi\\c.txt", L"one\\Config.Msi.old\\o.txt",
                                L"two\\config.msi\\l.txt", L"keep\\k.txt"}) {
        made.writeFile(std::wstring(L"T:\\walk\\") + file);
    }
    StreamCapture capture;
    EXPECT_EQ(sorted(pathsOf(walkRecords("T:\\walk", {}, 3))),
              sorted(Lines{"T:\\walk\\\\a.txt", "T:\\walk\\\\keep\\k.txt", "T:\\walk\\\\two\\config.msi\\l.txt"}));
    EXPECT_EQ(sorted(linesStartingWith(capture.outLines(), "跳过系统保护目录: ")),
              sorted(Lines{"跳过系统保护目录: T:\\walk\\\\$Recycle.Bin",
                           "跳过系统保护目录: T:\\walk\\\\System Volume Information",
                           "跳过系统保护目录: T:\\walk\\\\$SysReset",
                           "跳过系统保护目录: T:\\walk\\\\one\\Config.Msi",
                           "跳过系统保护目录: T:\\walk\\\\one\\Config.Msi.old"}));
}

TEST_F(SectorWalk, DepthBoundsTheWalk)
{
    made.writeFile(L"T:\\walk\\top.jpg");
    made.writeFile(L"T:\\walk\\d1\\d2\\d3\\at3.jpg");
    made.writeFile(L"T:\\walk\\d1\\d2\\d3\\d4\\at4.jpg");

    StreamCapture capture;
    EXPECT_EQ(pathsOf(walkRecords("T:\\walk", {}, 0)), (Lines{"T:\\walk\\\\top.jpg"}));
    EXPECT_EQ(countOf(capture.outLines(), "达到最大递归深度，停止递归扫描: T:\\walk\\\\d1"), 1u);

    EXPECT_TRUE(walkRecords("T:\\walk", {}, -1).empty());
    EXPECT_EQ(countOf(capture.outLines(), "达到最大递归深度，停止递归扫描: T:\\walk\\"), 1u);
    EXPECT_EQ(countOf(capture.outLines(), "文件系统扫描完成，找到 0 个可恢复文件"), 1u);

    // Without a depth the walk reads down to depth 3.
    const auto records = recordsBy(reader.performSectorLevelScan("T:\\walk", {}), "filesystem_scan");
    EXPECT_EQ(pathsOf(records), (Lines{"T:\\walk\\\\d1\\d2\\d3\\at3.jpg", "T:\\walk\\\\top.jpg"}));
}

TEST_F(SectorWalk, DriveRootGetsDoubledSeparatorsAndFilesTheirRecords)
{
    made.writeFile(L"T:\\PHOTO.JPG", "12345");
    made.writeFile(L"T:\\README");
    StreamCapture capture;
    const auto images = walkRecords("T:\\", {"image"}, 0);
    const auto all = walkRecords("T:\\", {}, 0);

    ASSERT_EQ(images.size(), 1u);
    const FileInfo& record = images[0];
    EXPECT_TRUE(record.id.starts_with("fs_" + std::to_string(GetCurrentProcessId()) + "_")) << record.id;
    EXPECT_TRUE(record.id.ends_with("_PHOTO.JPG")) << record.id;
    EXPECT_EQ(record.name, "PHOTO.JPG");
    EXPECT_EQ(record.path, "T:\\\\PHOTO.JPG");
    EXPECT_EQ(record.size, 5u);
    EXPECT_EQ(record.modifiedTime.size(), 19u);
    EXPECT_EQ(record.status, "potentially_recoverable");
    EXPECT_EQ(record.fileType, "image");
    EXPECT_EQ(record.extension, ".jpg");
    EXPECT_EQ(record.description, "通过文件系统扫描找到的image文件");

    const auto readmeRecord = std::find_if(all.begin(), all.end(),
                                           [](const FileInfo& info) { return info.name == "README"; });
    ASSERT_NE(readmeRecord, all.end());
    EXPECT_EQ(readmeRecord->extension, "");
    EXPECT_EQ(readmeRecord->fileType, "other");

    const auto lines = capture.outLines();
    EXPECT_EQ(lines[0], "执行扇区级扫描...");
    EXPECT_TRUE(lines[1] == "具有管理员权限，可执行扇区级扫描" || lines[1] == "警告: 没有管理员权限，扇区级扫描可能受限");
    EXPECT_EQ(lines[2], "开始文件系统扫描，从路径: T:\\");
    EXPECT_EQ(lines[3], "开始扫描目录(深度0): T:\\");
    EXPECT_EQ(countOf(lines, "目录扫描完成(深度0)，找到 1 个文件"), 1u);
}

TEST_F(SectorWalk, StartFolderInsideWindowsSystem32ReadsOnlyItsOwnFiles)
{
    made.writeFile(L"T:\\walk\\Windows\\System32\\drv.sys");
    made.writeFile(L"T:\\walk\\Windows\\System32\\sub\\x.dll");
    StreamCapture capture;
    EXPECT_EQ(pathsOf(walkRecords("T:\\walk\\Windows\\System32", {}, 3)),
              (Lines{"T:\\walk\\Windows\\System32\\\\drv.sys"}));
    EXPECT_EQ(countOf(capture.outLines(), "跳过系统保护目录: T:\\walk\\Windows\\System32\\\\sub"), 1u);
}

TEST(BufferScan, MemberGivesEveryHeaderHitOfTheBuffer)
{
    const SectorReader reader;
    const std::vector<SectorReader::SignatureHit> jpeg = {{0, "image"}, {2, "audio"}};
    EXPECT_EQ(reader.scanBufferForSignatures({0xFF, 0xD8, 0xFF, 0xE0}), jpeg);
    EXPECT_TRUE(reader.scanBufferForSignatures({0x50, 0x4B, 0x03}).empty());
}

TEST_F(RawVolume, FindsHeadersAtTheirOffsetsAndFiltersTheirCategories)
{
    writeDiskImage(image, 65536, headerPieces);
    StreamCapture capture;
    const auto records = reader.performSectorLevelScan("R:\\", {});
    const std::vector<std::pair<std::uint64_t, std::string>> expected = {
        {4096, "image"}, {4098, "audio"},  {8192, "image"},  {12288, "document"}, {16384, "archive"},
        {16400, "archive"}, {20480, "audio"}, {24576, "video"}, {28672, "video"},
    };
    EXPECT_EQ(hitsOf(records), expected);

    ASSERT_FALSE(records.empty());
    const FileInfo& first = records[0];
    EXPECT_EQ(first.id, "raw_" + std::to_string(GetCurrentProcessId()) + "_4096");
    EXPECT_EQ(first.name, "image_at_offset_4096.dat");
    EXPECT_EQ(first.path, "R:\\_offset_4096");
    EXPECT_EQ(first.size, 0u);
    EXPECT_EQ(first.modifiedTime, "Unknown");
    EXPECT_EQ(first.status, "partially_recoverable");
    EXPECT_EQ(first.extension, ".image");
    EXPECT_EQ(first.description, "通过扇区扫描发现的image文件片段");

    const auto lines = capture.outLines();
    const auto from = std::find(lines.begin(), lines.end(), "构建原始设备路径: \\\\.\\R:");
    ASSERT_NE(from, lines.end());
    EXPECT_EQ(std::vector<std::string>(from + 1, from + 5),
              (std::vector<std::string>{"设备总大小: 65536 字节", "扫描大小限制为: 104857600 字节",
                                        "找到匹配的文件签名: image 在偏移量: 4096",
                                        "找到匹配的文件签名: audio 在偏移量: 4098"}));
    EXPECT_EQ(lines.back(), "总共找到 9 个可恢复的文件");
    EXPECT_EQ(linesStartingWith(lines, "扇区扫描进度: "), (Lines{"扇区扫描进度: 100%"}));
    EXPECT_TRUE(capture.errorLines().empty());

    const auto filtered = reader.performSectorLevelScan("R:\\", {"video", "document"});
    const std::vector<std::pair<std::uint64_t, std::string>> kept = {
        {12288, "document"}, {24576, "video"}, {28672, "video"},
    };
    EXPECT_EQ(hitsOf(filtered), kept);
}

TEST_F(RawVolume, ReadsAShortDeviceInTwoChunksUpToOneHundredPercent)
{
    writeDiskImage(image, 1000000, {
                                       {524284, "\x89PNG\x0D\x0A\x1A\x0A"sv},   // across the chunk boundary
                                       {524388, "\xFF\xD8\xFF"sv},
                                       {999994, "7z\xBC\xAF\x27\x1C"sv},
                                   });
    StreamCapture capture;
    const auto records = reader.performSectorLevelScan("R:\\", {});
    const std::vector<std::pair<std::uint64_t, std::string>> expected = {{524388, "image"}, {999994, "archive"}};
    EXPECT_EQ(hitsOf(records), expected);

    const auto lines = capture.outLines();
    EXPECT_EQ(countOf(lines, "设备总大小: 1000000 字节"), 1u);
    EXPECT_EQ(countOf(lines, "扫描大小限制为: 104857600 字节"), 1u);
    EXPECT_EQ(linesStartingWith(lines, "扇区扫描进度: "), (Lines{"扇区扫描进度: 100%"}));

    // The last three bytes start an archive header that the buffer has no room for.
    writeDiskImage(image, 1000000, {{999997, "PK\x03"sv}});
    EXPECT_TRUE(hitsOf(reader.performSectorLevelScan("R:\\", {})).empty());
}

TEST_F(RawVolume, ReadsNoMoreThanTheFirstHundredMebibytes)
{
    constexpr std::uint64_t limit = 104857600;
    writeDiskImage(image, limit + 1024 * 1024, {
                                                   {limit - 3, "\xFF\xD8\xFF"sv},
                                                   {limit + 4096, "\x89PNG\x0D\x0A\x1A\x0A"sv},
                                               });
    StreamCapture capture;
    const auto records = reader.performSectorLevelScan("R:\\", {});
    const std::vector<std::pair<std::uint64_t, std::string>> expected = {{limit - 3, "image"}};
    EXPECT_EQ(hitsOf(records), expected);

    const auto lines = capture.outLines();
    EXPECT_EQ(countOf(lines, "设备总大小: 105906176 字节"), 1u);
    std::vector<std::string> progress = {"扇区扫描进度: 0%"};
    for (int percentage = 10; percentage <= 90; percentage += 10) {
        progress.insert(progress.end(), 2, "扇区扫描进度: " + std::to_string(percentage) + "%");
    }
    progress.push_back("扇区扫描进度: 100%");
    EXPECT_EQ(linesStartingWith(lines, "扇区扫描进度: "), progress);
}

TEST_F(RawVolume, ErasedMediaKeepsABoundedNumberOfHits)
{
    const std::string erased(131072, '\xFF');
    writeDiskImage(image, erased.size(), {{0, erased}});
    StreamCapture capture;
    const auto records = reader.performSectorLevelScan("R:\\", {});
    const auto hits = hitsOf(records);
    ASSERT_EQ(hits.size(), 100000u);
    EXPECT_EQ(hits.front(), (std::pair<std::uint64_t, std::string>{0, "audio"}));
    EXPECT_EQ(hits.back(), (std::pair<std::uint64_t, std::string>{99999, "audio"}));

    const auto lines = capture.outLines();
    const auto bound = std::find(lines.begin(), lines.end(), "扇区扫描匹配数达到上限: 100000，停止读取原始设备");
    ASSERT_NE(bound, lines.end());
    EXPECT_EQ(*(bound - 1), "找到匹配的文件签名: audio 在偏移量: 99999");
    EXPECT_EQ(*(bound + 1), "总共找到 100000 个可恢复的文件");
    EXPECT_TRUE(linesStartingWith(lines, "扇区扫描进度: ").empty());

    // Hits the filter drops do not count towards the bound.
    const StreamCapture filteredCapture;
    EXPECT_TRUE(hitsOf(reader.performSectorLevelScan("R:\\", {"image"})).empty());
    EXPECT_EQ(linesStartingWith(filteredCapture.outLines(), "扇区扫描进度: "), (Lines{"扇区扫描进度: 100%"}));
}

TEST_F(RawVolume, FilterMakesNoHitThatItWouldDrop)
{
    // Erased media: every byte but the last starts an audio header.
    const std::string erased(524288, '\xFF');
    writeDiskImage(image, erased.size(), {{0, erased}});
    StreamCapture capture;
    const AllocationCount allocated;
    const auto records = reader.performSectorLevelScan("R:\\", {"image"});
    const std::uint64_t bytes = allocated.bytes();

    EXPECT_TRUE(hitsOf(records).empty());
    // Made and then dropped, the 524,287 audio hits would take 20 MiB.
    EXPECT_LT(bytes, 1024u * 1024u);
}

TEST_F(RawVolume, DeviceThatCannotBeOpenedEndsTheRawRead)
{
    StreamCapture capture;
    EXPECT_TRUE(reader.performSectorLevelScan("S:\\", {}).empty());
    const auto lines = capture.outLines();
    const auto failure = linesStartingWith(lines, "无法打开原始设备进行扇区级访问，错误代码: ");
    ASSERT_EQ(failure.size(), 1u);
    EXPECT_NE(failure[0], "无法打开原始设备进行扇区级访问，错误代码: 0");
    EXPECT_TRUE(linesStartingWith(lines, "设备总大小: ").empty());
    EXPECT_EQ(lines.back(), "总共找到 0 个可恢复的文件");
}
