#include "disk_image.h"
#include "drive_ownership.h"
#include "made_files.h"
#include "mapped_drive.h"
#include "recovery_engine.h"
#include "stream_capture.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>

using namespace std::string_view_literals;

namespace {

std::vector<std::string> pathsOf(const std::vector<FileInfo>& records)
{
    std::vector<std::string> paths;
    for (const FileInfo& record : records) {
        paths.push_back(record.path);
    }
    return paths;
}

std::vector<std::string> idPrefixesOf(const std::vector<FileInfo>& records)
{
    std::vector<std::string> prefixes;
    for (const FileInfo& record : records) {
        prefixes.push_back(record.id.substr(0, record.id.find('_')));
    }
    return prefixes;
}

FileInfo recordWith(const std::string& id, const std::string& name)
{
    FileInfo info;
    info.id = id;
    info.name = name;
    return info;
}

// Whether the lines hold these, in this order (others may come between).
bool inOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted)
{
    auto next = lines.begin();
    for (const std::string& line : wanted) {
        next = std::find(next, lines.end(), line);
        if (next == lines.end()) {
            return false;
        }
        ++next;
    }
    return true;
}

class CollectingScan : public ::testing::Test {
protected:
    void SetUp() override { engine.initialize(); }

    RecoveryEngine engine;
    TempFolder folder;
};

// Drive T: is a folder of the test's own, whose root may hold a recycle bin and user roots.
class CollectingScanOnDriveT : public CollectingScan {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ownDrive(L"t:"));
        CollectingScan::SetUp();
    }

    MadeFiles made;
};

// Drive R: is a folder and raw volume R: an image: the sector-level scan finds both.
class CollectingScanOnDriveR : public CollectingScan {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ownDrive(L"r:"));
        ASSERT_TRUE(ownDrive(L"r::"));
        CollectingScan::SetUp();
        writeDiskImage(mappedDriveTarget(L"r::"), 16384, {{4096, "\xFF\xD8\xFF\xE0"sv}});
        made.writeFile(L"R:\\photo.jpg", "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00"sv);
    }

    MadeFiles made;
};

} // namespace

TEST_F(CollectingScan, ScanDeviceReturnsWhatTheStreamingScenarioReports)
{
    folder.writeFile(L"a.jpg");
    folder.writeFile(L"sub\\b.txt");
    const std::string location = folder.narrowPath();

    const auto format = engine.scanDevice(location, "format", {}, 3);
    EXPECT_EQ(pathsOf(format), pathsOf(engine.scanDevice(location, "accidental_deletion", {}, 3)));
    EXPECT_EQ(pathsOf(format), (std::vector<std::string>{location + "\\a.jpg", location + "\\sub\\b.txt"}));
    EXPECT_EQ(idPrefixesOf(format), (std::vector<std::string>{"file", "file"}));
    EXPECT_EQ(engine.scanDevice(location, "comprehensive", {"image"}, 3).size(), 3u);

    RecoveryEngine uninitialised;
    EXPECT_THROW(uninitialised.scanDevice(location, "format", {}, 3), std::runtime_error);
}

TEST_F(CollectingScan, WalkOverloadsAppendOrReportDownToTheirDepth)
{
    folder.writeFile(L"d0.txt");
    folder.writeFile(L"1\\d1.txt");
    folder.writeFile(L"1\\2\\3\\d3.txt");
    folder.writeFile(L"1\\2\\3\\4\\d4.txt");
    const std::string location = folder.narrowPath();

    std::vector<FileInfo> results = {recordWith("before", "before")};
    engine.scanDirectoryRecursive(location, {}, results, 1);
    EXPECT_EQ(pathsOf(results), (std::vector<std::string>{"", location + "\\1\\d1.txt", location + "\\d0.txt"}));

    std::vector<std::string> reported;
    const FileFoundCallback onFound = [&](const FileInfo& info) { reported.push_back(info.path); };
    engine.scanDirectoryRecursive(location, {}, onFound, nullptr);
    EXPECT_EQ(reported, (std::vector<std::string>{location + "\\1\\2\\3\\d3.txt", location + "\\1\\d1.txt",
                                                  location + "\\d0.txt"}));

    reported.clear();
    std::atomic<bool> stop{true};
    StreamCapture capture;
    engine.scanDirectoryRecursive(location, {}, onFound, &stop);
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(countOf(capture.outLines(), "收到停止请求，退出扫描"), 1u);
}

TEST_F(CollectingScan, AccidentalDeletionWithoutMatchesCountsZero)
{
    folder.writeFile(L"notes.txt");
    StreamCapture capture;
    EXPECT_TRUE(engine.scanAccidentalDeletion(folder.narrowPath(), {"image"}, 3).empty());
    const auto lines = capture.outLines();
    EXPECT_EQ(lines.front(), "执行误删除扫描...");
    EXPECT_EQ(lines.back(), "误删除扫描完成，找到 0 个文件");
}

TEST_F(CollectingScanOnDriveR, FormatMarksEverySectorLevelRecordAsFoundBySignature)
{
    StreamCapture capture;
    const auto records = engine.scanFormat("R:\\", {}, 3);
    EXPECT_EQ(pathsOf(records), (std::vector<std::string>{"R:\\\\photo.jpg", "R:\\_offset_4096", "R:\\_offset_4098"}));
    EXPECT_EQ(idPrefixesOf(records), (std::vector<std::string>{"fs", "raw", "raw"}));
    for (const FileInfo& record : records) {
        EXPECT_EQ(record.status, "partially_recoverable") << record.path;
        EXPECT_EQ(record.recoveryMethod, "signature_based") << record.path;
    }
    EXPECT_EQ(capture.outLines().front(), "执行格式化设备扫描...");
}

TEST_F(CollectingScanOnDriveR, ComprehensiveJoinsTheThreeSearchesInOrder)
{
    StreamCapture capture;
    const auto records = engine.scanComprehensive("R:\\", {"image"}, 3);
    EXPECT_EQ(idPrefixesOf(records), (std::vector<std::string>{"file", "fs", "raw", "signature"}));
    EXPECT_EQ(pathsOf(records), (std::vector<std::string>{"R:\\\\photo.jpg", "R:\\\\photo.jpg", "R:\\_offset_4096",
                                                          "R:\\\\photo.jpg"}));
    EXPECT_TRUE(inOrder(capture.outLines(), {"执行综合扫描...", "执行误删除扫描...", "误删除扫描完成，找到 1 个文件",
                                             "执行格式化设备扫描...", "执行扇区级扫描...", "总共找到 2 个可恢复的文件",
                                             "执行文件签名扫描..."}));
}

TEST_F(CollectingScanOnDriveT, EmptiedRecycleBinFallsBackToTheSectorLevelScanOnlyWhenItsListingIsEmpty)
{
    made.writeFile(L"T:\\$Recycle.Bin\\S-1-5-21-1\\$RAB12.pdf");
    made.writeFile(L"T:\\$Recycle.Bin\\$R1.txt");
    made.writeFile(L"T:\\docs\\report.pdf");
    {
        StreamCapture capture;
        const auto records = engine.scanEmptyRecycleBin("T:\\", {"document"}, 1);
        const auto walked = std::find_if(records.begin(), records.end(),
                                         [](const FileInfo& info) { return info.path == "T:\\\\docs\\report.pdf"; });
        ASSERT_NE(walked, records.end());
        EXPECT_EQ(walked->recoveryMethod, "filesystem_scan");
        EXPECT_TRUE(std::none_of(records.begin(), records.end(), [](const FileInfo& info) {
            return info.path.find("$Recycle.Bin") != std::string::npos;
        }));
        EXPECT_TRUE(inOrder(capture.outLines(), {"执行清空回收站扫描...", "执行扇区级扫描..."}));
    }

    made.writeFile(L"T:\\$Recycle.Bin\\$RCD34.pdf");
    StreamCapture capture;
    const auto records = engine.scanEmptyRecycleBin("T:\\", {"document"}, 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].path, "T:\\$Recycle.Bin\\$RCD34.pdf");
    EXPECT_EQ(records[0].recoveryMethod, "recycle_bin");
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{"执行清空回收站扫描..."}));
}

TEST_F(CollectingScanOnDriveT, ReinstallSystemListsOnlyTheTopOfTheUserRoots)
{
    made.writeFile(L"T:\\Users\\u.txt");
    made.writeFile(L"T:\\Users\\someone\\deep.txt");
    made.writeFile(L"T:\\ProgramData\\p.ini");
    StreamCapture capture;
    const auto records = engine.scanReinstallSystem("T:\\", {});
    EXPECT_EQ(pathsOf(records), (std::vector<std::string>{"T:\\\\Users\\u.txt", "T:\\\\ProgramData\\p.ini"}));
    EXPECT_EQ(records[0].recoveryMethod, "data_carving");
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{"执行重装系统扫描..."}));
}

TEST_F(CollectingScan, RemoveDuplicatesKeepsTheFirstOfEachId)
{
    const auto unique = engine.removeDuplicates({recordWith("x", "x1"), recordWith("y", "y1"), recordWith("x", "x2"),
                                                 recordWith("z", "z1"), recordWith("y", "y2")});
    std::vector<std::string> names;
    for (const FileInfo& record : unique) {
        names.push_back(record.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"x1", "y1", "z1"}));
    EXPECT_TRUE(engine.removeDuplicates({}).empty());
}

TEST_F(CollectingScan, RemoveDuplicatesDropsARecordOnlyWhenItsIdAndPathRepeat)
{
    const auto at = [](const std::string& id, const std::string& path, const std::string& name) {
        FileInfo info = recordWith(id, name);
        info.path = path;
        return info;
    };
    const auto unique = engine.removeDuplicates({at("x", "d1\\readme.txt", "first"), at("x", "d2\\readme.txt", "second"),
                                                 at("y", "d1\\readme.txt", "third"), at("x", "d1\\readme.txt", "again"),
                                                 at("x", "d3\\readme.txt", "fourth")});
    std::vector<std::string> names;
    for (const FileInfo& record : unique) {
        names.push_back(record.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"first", "second", "third", "fourth"}));
}

TEST_F(CollectingScan, ComprehensiveKeepsEqualNamesInDifferentFolders)
{
    // Found within a second, the three files share the walk's id (the name's length) and the other
    // scans' ids (the bare name).
    for (const wchar_t* file : {L"d1\\readme.txt", L"d2\\readme.txt", L"d3\\readme.txt"}) {
        folder.writeFile(file, "plain words");
    }
    const std::string location = folder.narrowPath();
    const auto records = engine.scanComprehensive(location, {"text"}, 3);

    std::vector<std::string> paths = pathsOf(records);
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> expected;
    for (const char* file : {"d1\\readme.txt", "d2\\readme.txt", "d3\\readme.txt"}) {
        // The walk and the file-signature scan give single separators, the sector-level walk a double one.
        expected.insert(expected.end(), {location + "\\" + file, location + "\\" + file, location + "\\\\" + file});
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);
    EXPECT_EQ(idPrefixesOf(records), (std::vector<std::string>{"file", "file", "file", "fs", "fs", "fs", "signature",
                                                               "signature", "signature"}));
}

TEST_F(CollectingScan, StatusForMethodAndMethodForPath)
{
    const auto statusOf = [&](const std::string& method) {
        FileInfo info;
        info.recoveryMethod = method;
        return engine.statusForMethod(info);
    };
    EXPECT_EQ(statusOf("filesystem_entry"), "recoverable");
    EXPECT_EQ(statusOf("signature_based"), "partially_recoverable");
    EXPECT_EQ(statusOf("recycle_bin"), "potentially_recoverable");
    EXPECT_EQ(statusOf("Signature_based"), "potentially_recoverable");

    const auto methodOf = [&](const std::string& path) {
        FileInfo info;
        info.path = path;
        return engine.methodForPath(info);
    };
    EXPECT_EQ(methodOf(folder.narrowPath()), "filesystem_entry");
    EXPECT_EQ(methodOf(ansi(folder.writeFile(L"kept.txt"))), "filesystem_entry");
    EXPECT_EQ(methodOf("R:\\_offset_4096"), "signature_based");
}
