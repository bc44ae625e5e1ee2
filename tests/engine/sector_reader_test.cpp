#include "disk_image.h"
#include "drive_ownership.h"
#include "mapped_drive.h"
#include "raw_device_path.h"
#include "sector_math.h"
#include "sector_reader.h"
#include "stream_capture.h"
#include "temp_folder.h"
#include "volume_geometry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>

namespace {

constexpr std::uint64_t imageSectors = 129;   // ends 512 bytes into a 4 KiB block

// Every byte tells its sector and its place in it, so a read from the wrong offset shows.
std::string imageBytes()
{
    std::string bytes(imageSectors * 512, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i / 512 * 31 + i % 251) & 0xFF);
    }
    return bytes;
}

std::vector<std::uint8_t> slice(const std::string& bytes, std::uint64_t startSector, std::uint64_t sectorCount)
{
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(startSector * 512);
    return {first, first + static_cast<std::ptrdiff_t>(sectorCount * 512)};
}

// \\.\X: is the image file that the test wrapper links as drive x:: of the prefix.
class RawImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ownDrive(L"x::"));
        writeDiskImage(mappedDriveTarget(L"x::"), bytes.size(), {{0, bytes}});
    }

    const std::string bytes = imageBytes();
    SectorReader reader;
};

std::string readFile(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

FileInfo recordOf(const std::string& path, const std::string& fileType = "unknown")
{
    FileInfo info;
    info.path = path;
    info.fileType = fileType;
    return info;
}

} // namespace

TEST(RawDevicePath, RulesApplyInOrder)
{
    const auto check = [](const std::string& location, const std::string& path, DevicePathRule rule) {
        const RawDevicePath raw = rawDevicePathFor(location);
        EXPECT_EQ(raw.path, path) << location;
        EXPECT_EQ(raw.rule, rule) << location;
    };
    check("C:\\", "\\\\.\\C:", DevicePathRule::driveLetter);
    check("C:\\Users\\Public\\", "\\\\.\\C:", DevicePathRule::driveLetter);
    check("d:", "\\\\.\\d:", DevicePathRule::driveLetter);
    check("\\\\.\\D:", "\\\\.\\D:", DevicePathRule::rawDevice);
    check("D", "\\\\.\\D", DevicePathRule::prefixed);
    check("", "\\\\.\\", DevicePathRule::prefixed);
    check("\\\\server\\share\\", "\\\\.\\\\\\server\\share\\", DevicePathRule::prefixed);
}

TEST(SectorMath, NoTotalWithoutSectorSizeAndNoReadBeyondOneRequest)
{
    EXPECT_EQ(sectorsOfDisk(82252800000, 512), 160650000u);
    EXPECT_EQ(sectorsOfDisk(82252800000, 0), 0u);

    EXPECT_EQ(sectorByteCount(maxSectorReadBytes / 512, 512), maxSectorReadBytes);
    EXPECT_FALSE(sectorByteCount(maxSectorReadBytes / 512 + 1, 512));
    // 2^23 sectors of 512 bytes are exactly 4 GiB, which a 32-bit count would wrap to 0.
    EXPECT_FALSE(sectorByteCount(std::uint64_t{1} << 23, 512));
    EXPECT_FALSE(sectorByteCount(std::uint64_t{1} << 60, 512));
}

TEST(SectorMath, ReadsWidenToTheAlignmentAndStartsCannotOverflow)
{
    const auto aligned = alignedRead(9, 1024, 512);   // bytes 4608 to 5632
    ASSERT_TRUE(aligned);
    EXPECT_EQ(aligned->offset, 4096u);
    EXPECT_EQ(aligned->skip, 512u);
    EXPECT_EQ(aligned->length, 4096u);

    const auto across = alignedRead(7, 1024, 512);   // bytes 3584 to 4608, across a block boundary
    ASSERT_TRUE(across);
    EXPECT_EQ(across->offset, 0u);
    EXPECT_EQ(across->skip, 3584u);
    EXPECT_EQ(across->length, 8192u);

    const auto largest = alignedRead(7, maxSectorReadBytes, 512);
    ASSERT_TRUE(largest);
    EXPECT_GE(largest->length, std::uint64_t{maxSectorReadBytes} + largest->skip);

    EXPECT_TRUE(alignedRead((std::uint64_t{1} << 54) - 1, 512, 512));
    EXPECT_FALSE(alignedRead(std::uint64_t{1} << 54, 512, 512));
    EXPECT_FALSE(alignedRead(~std::uint64_t{0}, 512, 512));
}

TEST_F(RawImage, ReadsSectorsAtAnyOffset)
{
    StreamCapture capture;
    EXPECT_EQ(reader.readSectors("X:", 0, 1), slice(bytes, 0, 1));
    EXPECT_EQ(reader.readSectors("X:\\", 3, 2), slice(bytes, 3, 2));
    EXPECT_EQ(reader.readSectors("\\\\.\\X:", 7, 10), slice(bytes, 7, 10));

    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{
                                      "检测到驱动器路径，使用: \\\\.\\X:",
                                      "检测到驱动器路径，使用: \\\\.\\X:",
                                      "使用提供的原始设备路径: \\\\.\\X:",
                                  }));
    EXPECT_TRUE(capture.errorLines().empty());
}

TEST_F(RawImage, ReadsStopAtTheEndOfTheVolume)
{
    StreamCapture capture;
    EXPECT_EQ(reader.readSectors("X:", imageSectors - 1, 4), slice(bytes, imageSectors - 1, 1));
    EXPECT_TRUE(reader.readSectors("X:", imageSectors, 1).empty());
    EXPECT_TRUE(reader.readSectors("X:", imageSectors + 1000, 2).empty());
    EXPECT_TRUE(reader.readSectors("X:", 5, 0).empty());
}

TEST_F(RawImage, OversizedRequestsFailWithoutReading)
{
    StreamCapture capture;
    EXPECT_TRUE(reader.readSectors("X:", 0, std::uint64_t{1} << 23).empty());
    EXPECT_TRUE(reader.readSectors("X:", std::uint64_t{1} << 62, 1).empty());
    EXPECT_EQ(capture.errorLines(), (std::vector<std::string>{
                                        "读取扇区数据失败，错误代码: 87",
                                        "设置文件指针失败",
                                    }));
}

TEST_F(RawImage, OpensTheVolumeForReading)
{
    StreamCapture capture;
    EXPECT_TRUE(reader.openDevice("\\\\.\\X:").valid());
    EXPECT_TRUE(reader.canOpenDevice("\\\\.\\X:"));
    // Opened exactly as given: a drive form is no device name.
    EXPECT_FALSE(reader.canOpenDevice("quorvane-no-such-device"));
    EXPECT_EQ(countOf(capture.outLines(), "第一次尝试失败，尝试使用不同的标志..."), 1u);
}

TEST_F(RawImage, VolumeWithoutGeometryHasNoTotal)
{
    StreamCapture capture;
    EXPECT_EQ(reader.getTotalSectors("X:\\"), 0u);
    const auto errors = capture.errorLines();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("无法获取磁盘几何信息，错误代码: ")) << errors[0];
    EXPECT_TRUE(capture.outLines().empty());
}

TEST(SectorReader, UnopenableDeviceGivesZeroFilledSectors)
{
    SectorReader reader;
    StreamCapture capture;
    EXPECT_EQ(reader.readSectors("quorvane-no-such-device", 2, 3), std::vector<std::uint8_t>(1536, 0));

    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{
                                      "尝试将路径转换为原始设备路径: \\\\.\\quorvane-no-such-device",
                                      "第一次尝试失败，尝试使用不同的标志...",
                                      "使用降级方案访问文件系统...",
                                  }));
    const auto errors = capture.errorLines();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "无法打开设备: quorvane-no-such-device (尝试访问: \\\\.\\quorvane-no-such-device)");
    EXPECT_TRUE(errors[1].starts_with("错误代码: ")) << errors[1];
    EXPECT_NE(errors[1], "错误代码: 0");
}

TEST(SectorReader, ZeroFilledFallbackIsBoundedLikeAnyRead)
{
    SectorReader reader;
    StreamCapture capture;
    EXPECT_TRUE(reader.readSectors("quorvane-no-such-device", 0, std::uint64_t{1} << 24).empty());
    EXPECT_EQ(capture.errorLines().back(), "读取扇区数据失败，错误代码: 87");
}

TEST(SectorReader, LocationsWithoutAVolumeHaveNoTotal)
{
    SectorReader reader;
    for (const std::string location : {"D", "", "\\\\server\\share\\"}) {
        StreamCapture capture;
        EXPECT_EQ(reader.getTotalSectors(location), 0u) << location;
        EXPECT_EQ(capture.errorLines(), std::vector<std::string>{"无法打开设备获取扇区信息: " + location});
        EXPECT_TRUE(capture.outLines().empty());
    }
}

TEST(SectorReader, GeometryAnswerGivesTheTotalWithItsThreeLines)
{
    ASSERT_TRUE(ownDrive(L"y:"));
    // The volume's own answer, asked here without the engine.
    const auto geometry = volumeGeometry(L'Y');
    ASSERT_TRUE(geometry) << "the folder drive Y: answers no geometry request";
    const std::uint64_t expected = geometry->diskSize / geometry->bytesPerSector;

    SectorReader reader;
    StreamCapture capture;
    EXPECT_EQ(reader.getTotalSectors("Y:\\"), expected);
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{
                                      "磁盘总大小: " + std::to_string(geometry->diskSize) + " 字节",
                                      "每扇区字节数: " + std::to_string(geometry->bytesPerSector),
                                      "总扇区数: " + std::to_string(expected),
                                  }));
    EXPECT_TRUE(capture.errorLines().empty());
}

TEST(SectorReader, CopyNeverReplacesAnExistingFile)
{
    TempFolder folder;
    const FileInfo source = recordOf(ansi(folder.writeFile(L"source.bin", "new data")));
    const std::wstring taken = folder.writeFile(L"taken.bin", "kept");
    SectorReader reader;

    EXPECT_TRUE(reader.copyFile(source, ansi(folder.pathOf(L"copy.bin"))));
    EXPECT_EQ(readFile(folder.pathOf(L"copy.bin")), "new data");
    EXPECT_FALSE(reader.copyFile(source, ansi(taken)));
    EXPECT_EQ(readFile(taken), "kept");
    EXPECT_FALSE(reader.copyFile(recordOf(ansi(folder.pathOf(L"missing.bin"))), ansi(folder.pathOf(L"other.bin"))));
}

TEST(SectorReader, FilterKeepsWantedCategoriesInOrder)
{
    const std::vector<FileInfo> results = {recordOf("a", "text"), recordOf("b", "Image"), recordOf("c", "image")};
    SectorReader reader;

    EXPECT_EQ(reader.filterResults(results, {}).size(), 3u);
    const auto pictures = reader.filterResults(results, {"image"});
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].path, "c");
    const auto both = reader.filterResults(results, {"image", "text"});
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].path, "a");
    EXPECT_EQ(both[1].path, "c");
}
