#include "drive_ownership.h"
#include "made_files.h"
#include "recovery_engine.h"
#include "stream_capture.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <ctime>

namespace {

using Progress = std::array<std::uint64_t, 3>;
constexpr std::uint64_t total = 4321;

enum class Scenario { accidentalDeletion, format, comprehensive, emptyRecycleBin, reinstallSystem };

// One scenario scan called directly, recording every report.
struct ScanRun {
    RecoveryEngine engine;
    std::vector<FileInfo> found;
    std::vector<Progress> progress;
    std::atomic<bool> stop{false};
    bool stopOnFirstFind = false;

    void scan(Scenario scenario, const std::string& devicePath, const std::vector<std::string>& fileTypes = {})
    {
        const FileFoundCallback onFound = [this](const FileInfo& info) {
            found.push_back(info);
            if (stopOnFirstFind) {
                stop = true;
            }
        };
        const ProgressCallback onProgress = [this](std::uint64_t position, std::uint64_t all, std::uint64_t count) {
            progress.push_back({position, all, count});
        };
        switch (scenario) {
        case Scenario::accidentalDeletion:
            engine.scanAccidentalDeletion(devicePath, fileTypes, onFound, &stop, 5, onProgress, total);
            break;
        case Scenario::format:
            engine.scanFormat(devicePath, fileTypes, onFound, &stop, 5, onProgress, total);
            break;
        case Scenario::comprehensive:
            engine.scanComprehensive(devicePath, fileTypes, onFound, &stop, 5, onProgress, total);
            break;
        case Scenario::emptyRecycleBin:
            engine.scanEmptyRecycleBin(devicePath, fileTypes, onFound, &stop, 5, onProgress, total);
            break;
        case Scenario::reinstallSystem:
            engine.scanReinstallSystem(devicePath, fileTypes, onFound, &stop, 5, onProgress, total);
            break;
        }
    }

    std::vector<std::string> paths() const
    {
        std::vector<std::string> all;
        for (const FileInfo& info : found) {
            all.push_back(info.path);
        }
        return all;
    }
};

// Drive Y: is a folder of the test's own: its root may hold the recycle bin and the user roots.
class DriveY : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ownDrive(L"y:")); }

    MadeFiles made;
};

bool isTimedId(const std::string& id, const std::string& prefix, std::time_t from, std::time_t to)
{
    for (auto t = from; t <= to; ++t) {
        if (id == prefix + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(t)) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(ScenarioScans, ComprehensiveReportsEveryFileThreeTimes)
{
    TempFolder tree;
    tree.writeFile(L"only.txt");

    StreamCapture capture;
    ScanRun run;
    run.scan(Scenario::comprehensive, tree.narrowPath());

    ASSERT_EQ(run.found.size(), 3u);
    for (const FileInfo& info : run.found) {
        EXPECT_EQ(info.name, "only.txt");
        EXPECT_EQ(info.recoveryMethod, "filesystem_entry");
    }
    EXPECT_EQ(run.progress, (std::vector<Progress>{{1, total, 1}, {1, total, 1}, {1, total, 1}}));
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{
                                      "执行综合扫描(回调模式)...",
                                      "执行误删除扫描...",
                                      "误删除扫描完成",
                                      "执行格式化设备扫描(回调模式)...",
                                  }));
}

TEST(ScenarioScans, StopBeforeComprehensiveEndsAfterTheFirstPass)
{
    TempFolder tree;
    tree.writeFile(L"only.txt");

    StreamCapture capture;
    ScanRun run;
    run.stop = true;
    run.scan(Scenario::comprehensive, tree.narrowPath());

    EXPECT_TRUE(run.found.empty());
    EXPECT_TRUE(run.progress.empty());
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{
                                      "执行综合扫描(回调模式)...",
                                      "执行误删除扫描...",
                                      "收到停止请求，退出扫描",
                                      "误删除扫描完成",
                                      "收到停止请求，退出扫描",
                                  }));
}

TEST(ScenarioScans, AccidentalDeletionAndFormatFindTheSame)
{
    TempFolder tree;
    tree.writeFile(L"a.jpg");
    tree.writeFile(L"sub\\b.png");
    tree.writeFile(L"sub\\c.txt");
    tree.writeFile(L"z.gif");

    ScanRun deletion;
    ScanRun format;
    {
        StreamCapture capture;
        deletion.scan(Scenario::accidentalDeletion, tree.narrowPath(), {"image"});
        EXPECT_EQ(capture.outLines(), (std::vector<std::string>{"执行误删除扫描...", "误删除扫描完成"}));
    }
    {
        StreamCapture capture;
        format.scan(Scenario::format, tree.narrowPath(), {"image"});
        EXPECT_EQ(capture.outLines(), std::vector<std::string>{"执行格式化设备扫描(回调模式)..."});
    }
    EXPECT_EQ(deletion.paths().size(), 3u);
    EXPECT_EQ(deletion.paths(), format.paths());
    EXPECT_EQ(deletion.progress, format.progress);
}

TEST_F(DriveY, RecycleBinListingThenWalkWithPositionsRunningOn)
{
    made.writeFile(L"Y:\\$Recycle.Bin\\A.TXT", "abc");
    made.writeFile(L"Y:\\$Recycle.Bin\\b");
    made.writeFile(L"Y:\\$Recycle.Bin\\S-1-5-21-1000\\inner.jpg");

    StreamCapture capture;
    ScanRun run;
    const auto before = std::time(nullptr);
    run.scan(Scenario::emptyRecycleBin, "Y:\\");
    const auto after = std::time(nullptr);

    // The listing reports the top level; the walk reports the top level again and the per-user folders.
    EXPECT_EQ(run.paths(), (std::vector<std::string>{
                               "Y:\\$Recycle.Bin\\A.TXT",
                               "Y:\\$Recycle.Bin\\b",
                               "Y:\\$Recycle.Bin\\A.TXT",
                               "Y:\\$Recycle.Bin\\b",
                               "Y:\\$Recycle.Bin\\S-1-5-21-1000\\inner.jpg",
                           }));
    EXPECT_EQ(run.progress, (std::vector<Progress>{
                                {1, total, 1}, {2, total, 2}, {3, total, 1}, {4, total, 2}, {5, total, 1}}));
    EXPECT_EQ(capture.outLines(), std::vector<std::string>{"执行清空回收站扫描(回调模式)..."});

    const FileInfo& recycled = run.found[0];
    EXPECT_TRUE(isTimedId(recycled.id, "recycle_", before, after)) << recycled.id;
    EXPECT_EQ(recycled.name, "A.TXT");
    EXPECT_EQ(recycled.size, 3u);
    EXPECT_EQ(recycled.modifiedTime.size(), 19u);
    EXPECT_EQ(recycled.status, "recoverable");
    EXPECT_EQ(recycled.fileType, "text");
    EXPECT_EQ(recycled.extension, ".txt");
    EXPECT_EQ(recycled.description, "从回收站恢复的text文件");
    EXPECT_EQ(recycled.recoveryMethod, "recycle_bin");
    EXPECT_EQ(run.found[1].extension, "");
    EXPECT_EQ(run.found[1].fileType, "other");
    EXPECT_EQ(run.found[1].description, "从回收站恢复的other文件");
    // No per-file part: records of one listing within one second share their id.
    EXPECT_TRUE(isTimedId(run.found[1].id, "recycle_", before, after)) << run.found[1].id;
    EXPECT_EQ(run.found[2].recoveryMethod, "filesystem_entry");
}

TEST_F(DriveY, RecycleBinListingCountsOnlyWantedFiles)
{
    made.writeFile(L"Y:\\$Recycle.Bin\\notes.txt");
    made.writeFile(L"Y:\\$Recycle.Bin\\photo.JPG");

    ScanRun run;
    StreamCapture capture;
    run.scan(Scenario::emptyRecycleBin, "Y:\\", {"image"});

    ASSERT_EQ(run.found.size(), 2u);
    EXPECT_EQ(run.found[0].recoveryMethod, "recycle_bin");
    EXPECT_EQ(run.found[0].extension, ".jpg");
    EXPECT_EQ(run.progress.front(), (Progress{1, total, 1}));
    // The walk looks at both files, so its positions go on from 1 to 3.
    EXPECT_EQ(run.progress.back(), (Progress{3, total, 2}));
}

TEST_F(DriveY, StopDuringTheRecycleBinListingAlsoEndsTheWalk)
{
    made.writeFile(L"Y:\\$Recycle.Bin\\a.txt");
    made.writeFile(L"Y:\\$Recycle.Bin\\b.txt");

    StreamCapture capture;
    ScanRun run;
    run.stopOnFirstFind = true;
    run.scan(Scenario::emptyRecycleBin, "Y:\\");

    ASSERT_EQ(run.found.size(), 1u);
    EXPECT_EQ(run.progress, (std::vector<Progress>{{1, total, 1}}));
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{
                                      "执行清空回收站扫描(回调模式)...",
                                      "收到停止请求，退出扫描",
                                      "收到停止请求，退出扫描",
                                  }));
}

TEST_F(DriveY, ReinstallListsTheUserRootsOfADriveRoot)
{
    for (const wchar_t* name : {L"a1.txt", L"a2.txt", L"a3.jpg", L"a4.doc", L"a5.zip"}) {
        made.writeFile(std::wstring(L"Y:\\Users\\") + name);
    }
    made.writeFile(L"Y:\\Users\\skip.xyz");
    made.writeFile(L"Y:\\Users\\Public\\Documents\\deep.txt");
    made.writeFile(L"Y:\\ProgramData\\p1.ini");
    made.writeFile(L"Y:\\ProgramData\\p2.log");

    StreamCapture capture;
    ScanRun run;
    const auto before = std::time(nullptr);
    run.scan(Scenario::reinstallSystem, "Y:\\", {"text", "image", "document", "archive"});
    const auto after = std::time(nullptr);

    ASSERT_EQ(run.found.size(), 7u);
    EXPECT_EQ(run.found[0].path, "Y:\\\\Users\\a1.txt");
    EXPECT_EQ(run.found[6].path, "Y:\\\\ProgramData\\p2.log");
    EXPECT_EQ(run.progress.size(), 7u);
    EXPECT_EQ(run.progress.back(), (Progress{7, total, 7}));
    EXPECT_EQ(capture.outLines(), std::vector<std::string>{"执行重装系统扫描(回调模式)..."});

    const FileInfo& user = run.found[2];
    EXPECT_TRUE(isTimedId(user.id, "user_", before, after)) << user.id;
    EXPECT_EQ(user.name, "a3.jpg");
    EXPECT_EQ(user.status, "potentially_recoverable");
    EXPECT_EQ(user.fileType, "image");
    EXPECT_EQ(user.description, "用户数据恢复的image文件");
    EXPECT_EQ(user.recoveryMethod, "data_carving");
}

TEST(ScenarioScans, ReinstallOfAFolderJoinsWithOneSeparator)
{
    TempFolder tree;
    tree.writeFile(L"Documents and Settings\\old.txt");

    ScanRun run;
    StreamCapture capture;
    run.scan(Scenario::reinstallSystem, tree.narrowPath());

    ASSERT_EQ(run.found.size(), 1u);
    EXPECT_EQ(run.found[0].path, tree.narrowPath() + "\\Documents and Settings\\old.txt");
}

TEST_F(DriveY, StopEndsTheReinstallScan)
{
    made.writeFile(L"Y:\\Users\\a.txt");
    made.writeFile(L"Y:\\Users\\b.txt");
    made.writeFile(L"Y:\\ProgramData\\c.txt");

    {
        StreamCapture capture;
        ScanRun stopped;
        stopped.stop = true;
        stopped.scan(Scenario::reinstallSystem, "Y:\\");
        EXPECT_TRUE(stopped.found.empty());
        EXPECT_EQ(capture.outLines(),
                  (std::vector<std::string>{"执行重装系统扫描(回调模式)...", "收到停止请求，退出扫描"}));
    }
    {
        StreamCapture capture;
        ScanRun stopping;
        stopping.stopOnFirstFind = true;
        stopping.scan(Scenario::reinstallSystem, "Y:\\");
        EXPECT_EQ(stopping.found.size(), 1u);
        EXPECT_EQ(countOf(capture.outLines(), "收到停止请求，退出扫描"), 1u);
    }
}
