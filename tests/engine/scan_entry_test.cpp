#include "drive_ownership.h"
#include "made_files.h"
#include "recovery_engine.h"
#include "scoped_settings.h"
#include "stream_capture.h"
#include "temp_folder.h"
#include "volume_geometry.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <array>
#include <stdexcept>

namespace {

using Progress = std::array<std::uint64_t, 3>;

struct Scan {
    RecoveryEngine engine;
    std::vector<FileInfo> found;
    std::vector<Progress> progress;

    Scan()
    {
        const StreamCapture quiet;
        engine.initialize();
    }

    void run(const std::string& location, const std::string& scenario, const std::vector<std::string>& fileTypes = {})
    {
        engine.scanDevice(
            location, scenario, fileTypes, [this](const FileInfo& info) { found.push_back(info); }, nullptr, 5,
            [this](std::uint64_t position, std::uint64_t total, std::uint64_t count) {
                progress.push_back({position, total, count});
            });
    }
};

// Drive Y: is a folder of the test's own.
class OnDriveY : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ownDrive(L"y:")); }

    MadeFiles made;
};
using ScanEntryOnDriveY = OnDriveY;
using DevicePathOnDriveY = OnDriveY;

} // namespace

TEST(ScanEntry, UninitialisedEngineRefusesSilently)
{
    RecoveryEngine engine;
    StreamCapture capture;
    try {
        engine.scanDevice("C:\\", "format", {}, [](const FileInfo&) {}, nullptr, 1, nullptr);
        FAIL() << "no error raised";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "恢复引擎尚未初始化");
    }
    EXPECT_TRUE(capture.outLines().empty());
    EXPECT_TRUE(capture.errorLines().empty());
    EXPECT_TRUE(capture.wideLines().empty());
}

TEST(ScanEntry, FramesTheScanWithItsStartAndEndLines)
{
    TempFolder tree;
    tree.writeFile(L"a.png");
    tree.writeFile(L"b.mp4");
    tree.writeFile(L"c.txt");
    const std::string location = tree.narrowPath();

    StreamCapture capture;
    Scan scan;
    scan.run(location, "format", {"image", "video"});

    const auto lines = capture.outLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "开始扫描设备: " + location + ", 场景: format, 文件类型: image video ");
    EXPECT_EQ(countOf(lines, "执行格式化设备扫描(回调模式)..."), 1u);
    EXPECT_EQ(lines.back(), "扫描完成");
    EXPECT_EQ(scan.found.size(), 2u);

    Scan everything;
    StreamCapture second;
    everything.run(location, "format");
    EXPECT_EQ(second.outLines()[0], "开始扫描设备: " + location + ", 场景: format, 文件类型: ");
    EXPECT_EQ(everything.found.size(), 3u);
}

TEST_F(ScanEntryOnDriveY, VolumeSectorCountIsTheProgressTotal)
{
    made.writeFile(L"Y:\\scan-entry\\one.txt");
    made.writeFile(L"Y:\\scan-entry\\two.txt");
    // The volume's size as it answers the geometry request itself, asked here without the engine.
    const auto geometry = volumeGeometry(L'Y');
    ASSERT_TRUE(geometry) << "drive Y: answers no geometry request";
    const std::uint64_t expected = geometry->diskSize / geometry->bytesPerSector;
    ASSERT_NE(expected, 0u);

    StreamCapture capture;
    Scan scan;
    scan.run("Y:\\scan-entry", "accidental_deletion");

    EXPECT_EQ(scan.progress, (std::vector<Progress>{{1, expected, 1}, {2, expected, 2}}));
    EXPECT_EQ(countOf(capture.errorLines(), "无法获取设备扇区信息，使用无限进度条"), 0u);
}

TEST(ScanEntry, MissingVolumeTotalStillScans)
{
    // x:: maps only the raw volume \\.\X:, so X: is no drive: the location comes back as given,
    // the volume answers no geometry, and the walk finds no folder.
    ASSERT_TRUE(ownDrive(L"x::"));
    StreamCapture capture;
    Scan scan;
    scan.run("X:", "accidental_deletion");

    const auto lines = capture.outLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[1], "警告: 路径不存在: X:\\");
    EXPECT_EQ(lines[2], "执行误删除扫描...");
    EXPECT_TRUE(lines[3].starts_with("无法打开目录: X:，错误代码: ")) << lines[3];
    EXPECT_EQ(lines[4], "误删除扫描完成");
    EXPECT_EQ(lines.back(), "扫描完成");
    EXPECT_EQ(capture.errorLines().back(), "无法获取设备扇区信息，使用无限进度条");
}

TEST_F(ScanEntryOnDriveY, ScenarioKeywordsAreExact)
{
    made.makeFolder(L"Y:\\dispatch");
    const std::vector<std::pair<std::string, std::string>> dispatch = {
        {"accidental_deletion", "执行误删除扫描..."},
        {"empty_recycle_bin", "执行清空回收站扫描(回调模式)..."},
        {"format", "执行格式化设备扫描(回调模式)..."},
        {"reinstall_system", "执行重装系统扫描(回调模式)..."},
        {"Format", "执行综合扫描(回调模式)..."},
        {"", "执行综合扫描(回调模式)..."},
    };
    for (const auto& [scenario, firstScanLine] : dispatch) {
        StreamCapture capture;
        Scan scan;
        scan.run("Y:\\dispatch", scenario);
        const auto lines = capture.outLines();
        const auto first = std::find_if(lines.begin(), lines.end(),
                                        [](const std::string& line) { return line.starts_with("执行"); });
        ASSERT_NE(first, lines.end()) << scenario;
        EXPECT_EQ(*first, firstScanLine) << scenario;
    }
}

TEST(ScanEntry, CallbackExceptionPassesThroughWithoutTheEndLine)
{
    TempFolder tree;
    tree.writeFile(L"a.txt");
    RecoveryEngine engine;
    StreamCapture capture;
    engine.initialize();
    EXPECT_THROW(engine.scanDevice(
                     tree.narrowPath(), "", {}, [](const FileInfo&) { throw std::logic_error("stop here"); },
                     nullptr, 3, nullptr),
                 std::logic_error);
    EXPECT_EQ(countOf(capture.outLines(), "扫描完成"), 0u);
}

TEST_F(DevicePathOnDriveY, DriveFormsGainOnlyTheRootSeparator)
{
    made.makeFolder(L"Y:\\data");
    RecoveryEngine engine;
    StreamCapture capture;
    EXPECT_EQ(engine.resolveDevicePath("Y:"), "Y:\\");
    EXPECT_EQ(engine.resolveDevicePath("Y:\\data"), "Y:\\data");
    EXPECT_EQ(engine.resolveDevicePath("Y:\\data\\"), "Y:\\data\\");
    EXPECT_EQ(engine.resolveDevicePath("local_disk_c"), "C:\\");
    EXPECT_TRUE(capture.outLines().empty());
}

TEST(DevicePath, OtherTextsAreFoldersRelativeToTheWorkingFolder)
{
    TempFolder folder;
    folder.makeFolder(L"data");
    ScopedWorkingFolder inside(folder.path());
    RecoveryEngine engine;

    StreamCapture capture;
    EXPECT_EQ(engine.resolveDevicePath("data"), "data\\");
    EXPECT_EQ(engine.resolveDevicePath("data/"), "data/");
    EXPECT_EQ(engine.resolveDevicePath(""), "\\");
    EXPECT_TRUE(capture.outLines().empty());

    // Aliases are exact: a capital letter makes an ordinary, here missing, folder name.
    EXPECT_EQ(engine.resolveDevicePath("Desktop"), "Desktop");
    EXPECT_EQ(capture.outLines(), std::vector<std::string>{"警告: 路径不存在: Desktop\\"});
}

TEST(DevicePath, ShellFolderAliases)
{
    RecoveryEngine engine;
    for (const auto& [alias, folderId] : {std::pair{"desktop", CSIDL_DESKTOP}, {"documents", CSIDL_PERSONAL}}) {
        char expected[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, expected)));
        StreamCapture capture;
        EXPECT_EQ(engine.resolveDevicePath(alias), expected) << alias;
    }
}

TEST(DevicePath, DownloadsFollowsTheUserNameEvenWhenUnset)
{
    RecoveryEngine engine;
    {
        ScopedVariable user("USERNAME", "quorvane-nobody");
        StreamCapture capture;
        EXPECT_EQ(engine.resolveDevicePath("downloads"), "downloads");
        EXPECT_EQ(capture.outLines(),
                  std::vector<std::string>{"警告: 路径不存在: C:\\Users\\quorvane-nobody\\Downloads\\"});
    }
    {
        ScopedVariable user("USERNAME", nullptr);
        StreamCapture capture;
        EXPECT_EQ(engine.resolveDevicePath("downloads"), "downloads");
        EXPECT_EQ(capture.outLines(), std::vector<std::string>{"警告: 路径不存在: C:\\Users\\\\Downloads\\"});
    }
}

TEST(DevicePath, RecycleBinSitsAtTheDriveRoot)
{
    RecoveryEngine engine;
    EXPECT_EQ(engine.getRecycleBinPath("C:\\"), "C:\\$Recycle.Bin");
    EXPECT_EQ(engine.getRecycleBinPath("D:\\data\\photos"), "D:\\$Recycle.Bin");
    EXPECT_EQ(engine.getRecycleBinPath("C:"), "C:$Recycle.Bin");
    EXPECT_EQ(engine.getRecycleBinPath(""), "$Recycle.Bin");
}
