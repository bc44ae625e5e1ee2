#include "copy_name.h"
#include "fixture_folder.h"
#include "made_files.h"
#include "recovery_engine.h"
#include "stream_capture.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>
#include <utility>

namespace {

std::string readFile(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileInfo recordOf(const std::wstring& path, const std::string& name, const std::string& method = "filesystem_entry")
{
    FileInfo info;
    info.id = "file_1_2_" + std::to_string(name.size());
    info.name = name;
    info.path = ansi(path);
    info.size = 42;
    info.modifiedTime = "2030-01-01 00:00:05";
    info.status = "recoverable";
    info.fileType = "text";
    info.extension = ".txt";
    info.description = "从" + info.path + "恢复的text文件";
    info.recoveryMethod = method;
    return info;
}

std::string errorCodeOf(const std::string& line)
{
    return line.substr(line.rfind(' ') + 1);
}

// A file that the suite's fixture made on the Linux side; empty when the suite runs without it.
std::wstring recoveryFile(const wchar_t* name)
{
    const std::wstring files = fixtureFolder(L"QUORVANE_RECOVERY_FILES");
    return files.empty() ? files : files + L"\\" + name;
}

} // namespace

TEST(CopyName, NumbersGoBeforeTheLastDot)
{
    EXPECT_EQ(numberedCopyName(L"a.txt", 1), L"a.txt");
    EXPECT_EQ(numberedCopyName(L"a.txt", 2), L"a (2).txt");
    EXPECT_EQ(numberedCopyName(L"archive.tar.gz", 3), L"archive.tar (3).gz");
    EXPECT_EQ(numberedCopyName(L"README", 2), L"README (2)");
    EXPECT_EQ(numberedCopyName(L".gitignore", 2), L".gitignore (2)");
}

TEST(CopyName, NamesThatLeaveTheFolderAreRefused)
{
    for (const wchar_t* name : {L"", L".", L"..", L"..\\up.txt", L"a/b.txt", L"c:d.txt", L"\\\\server\\x"}) {
        EXPECT_TRUE(isRefusedCopyName(name)) << ansi(name);
    }
    for (const wchar_t* name : {L"a.txt", L"..a", L"...", L"照片.jpg", L".gitignore"}) {
        EXPECT_FALSE(isRefusedCopyName(name)) << ansi(name);
    }
}

TEST(RecoverFiles, OneRecordLeavesItsFullTrace)
{
    TempFolder folder;
    const std::wstring source = folder.writeFile(L"源\\照片.jpg", "picture");
    const std::string target = folder.narrowPath() + "\\恢复";
    FileInfo record = recordOf(source, "照片.jpg");
    record.size = 7;

    StreamCapture capture;
    const auto results = RecoveryEngine().recoverFiles({record}, target);

    const std::wstring destination = unicode(target) + L"\\照片.jpg";
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{
                                      "开始恢复 1 个文件到 " + target,
                                      "文件 0: 照片.jpg, 路径: " + record.path + ", 大小: 7, 恢复方法: filesystem_entry",
                                      "原始目标路径: " + target,
                                      "目标路径缓冲区大小: " + std::to_string(unicode(target).size() + 1),
                                      "创建目录结果: 成功, 错误代码: 0",
                                      "文件名缓冲区大小: 7",
                                      "恢复完成，成功: 1, 失败: 0",
                                  }));
    EXPECT_EQ(capture.wideLines(), (std::vector<std::wstring>{
                                       L"转换后的目标路径: " + unicode(target),
                                       L"转换后的文件名: 照片.jpg",
                                       L"源路径: " + source,
                                       L"目标路径: " + destination,
                                       L"复制文件: " + source + L" -> " + destination,
                                   }));
    EXPECT_TRUE(capture.errorLines().empty());

    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].status, "recovered");
    EXPECT_EQ(results[0].path, ansi(destination));
    EXPECT_EQ(readFile(destination), "picture");
}

TEST(RecoverFiles, MiddleFailureKeepsOrderAndCounts)
{
    TempFolder folder;
    const std::string target = folder.narrowPath() + "\\out";
    const std::vector<FileInfo> records = {
        recordOf(folder.writeFile(L"in\\one.txt", "1"), "one.txt"),
        recordOf(folder.pathOf(L"in\\gone.txt"), "gone.txt", "recycle_bin"),
        recordOf(folder.writeFile(L"in\\three.txt", "3"), "three.txt", "data_carving"),
    };

    StreamCapture capture;
    const auto results = RecoveryEngine().recoverFiles(records, target);

    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].status, "recovered");
    EXPECT_EQ(results[1].status, "partial_recovery");
    EXPECT_EQ(results[2].status, "recovered");
    EXPECT_EQ(results[1].path, target + "\\gone.txt");
    for (size_t i = 0; i < results.size(); ++i) {
        const FileInfo& in = records[i];
        const FileInfo& out = results[i];
        EXPECT_EQ(out.path, target + "\\" + in.name);
        EXPECT_EQ(std::tie(out.id, out.name, out.size, out.modifiedTime, out.fileType, out.extension,
                           out.description, out.recoveryMethod),
                  std::tie(in.id, in.name, in.size, in.modifiedTime, in.fileType, in.extension, in.description,
                           in.recoveryMethod));
    }
    EXPECT_EQ(readFile(folder.pathOf(L"out\\three.txt")), "3");

    const auto lines = capture.outLines();
    EXPECT_EQ(lines.back(), "恢复完成，成功: 2, 失败: 1");
    EXPECT_EQ(countOf(lines, "创建目录结果: 成功, 错误代码: 0"), 1u);
    EXPECT_EQ(countOf(lines, "创建目录结果: 失败, 错误代码: 183"), 2u);
    const auto errors = capture.errorLines();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("复制文件失败: " + records[1].path + " -> gone.txt, 错误代码: ")) << errors[0];
    const std::string code = errorCodeOf(errors[0]);
    EXPECT_TRUE(code == "2" || code == "3") << code;

    // Only records found as live entries announce their copy.
    size_t copyLines = 0;
    for (const std::wstring& line : capture.wideLines()) {
        copyLines += line.starts_with(L"复制文件: ") ? 1 : 0;
    }
    EXPECT_EQ(copyLines, 2u);
}

TEST(RecoverFiles, TakenNamesGetTheNextFreeNumber)
{
    TempFolder folder;
    folder.writeFile(L"out\\a.txt", "already here");
    folder.writeFile(L"out\\a (2).txt", "also here");
    const std::vector<FileInfo> records = {
        recordOf(folder.writeFile(L"one\\a.txt", "first"), "a.txt"),
        recordOf(folder.writeFile(L"two\\a.txt", "second"), "a.txt"),
        recordOf(folder.writeFile(L"out\\b.txt", "itself"), "b.txt"),
    };

    StreamCapture capture;
    const auto results = RecoveryEngine().recoverFiles(records, folder.narrowPath() + "\\out");

    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].path, ansi(folder.pathOf(L"out\\a (3).txt")));
    EXPECT_EQ(results[1].path, ansi(folder.pathOf(L"out\\a (4).txt")));
    EXPECT_EQ(results[2].path, ansi(folder.pathOf(L"out\\b (2).txt")));
    for (const FileInfo& result : results) {
        EXPECT_EQ(result.status, "recovered");
    }
    EXPECT_EQ(readFile(folder.pathOf(L"out\\a.txt")), "already here");
    EXPECT_EQ(readFile(folder.pathOf(L"out\\a (2).txt")), "also here");
    EXPECT_EQ(readFile(folder.pathOf(L"out\\a (3).txt")), "first");
    EXPECT_EQ(readFile(folder.pathOf(L"out\\a (4).txt")), "second");
    EXPECT_EQ(readFile(folder.pathOf(L"out\\b.txt")), "itself");
    EXPECT_EQ(readFile(folder.pathOf(L"out\\b (2).txt")), "itself");
    EXPECT_TRUE(capture.errorLines().empty());
}

TEST(RecoverFiles, ATakenNameAlwaysGetsTheNextFreeNumber)
{
    // x.txt and x (2).txt to x (9999).txt, made by the suite's fixture; the test removes what it adds.
    const std::wstring taken = recoveryFile(L"taken");
    ASSERT_FALSE(taken.empty()) << "QUORVANE_RECOVERY_FILES names no folder";
    ASSERT_TRUE(exists(taken + L"\\x (9999).txt"));
    const std::vector<std::wstring> copies = {taken + L"\\x (10000).txt", taken + L"\\x (10001).txt"};
    MadeFiles made;
    for (const std::wstring& copy : copies) {
        made.claim(copy);
    }

    TempFolder folder;
    const std::vector<FileInfo> records(2, recordOf(folder.writeFile(L"x.txt", "newest"), "x.txt"));
    StreamCapture capture;
    const auto results = RecoveryEngine().recoverFiles(records, ansi(taken));

    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].status, "recovered");
    EXPECT_EQ(results[0].path, ansi(copies[0]));
    EXPECT_EQ(results[1].path, ansi(copies[1]));
    EXPECT_EQ(readFile(copies[1]), "newest");
    EXPECT_TRUE(capture.errorLines().empty());
}

TEST(RecoverFiles, ACopyThatFailsPartWayLeavesNothingOfItself)
{
    // The suite's writes stop at 4 MiB of a file, as on a full disk, and the fixture's big.bin holds 6 MiB.
    const std::wstring big = recoveryFile(L"big.bin");
    ASSERT_FALSE(big.empty()) << "QUORVANE_RECOVERY_FILES names no folder";
    ASSERT_NE(GetEnvironmentVariableW(L"QUORVANE_FILE_SIZE_LIMIT", nullptr, 0), 0u)
        << "run by CTest, whose file size limit makes the copy fail";
    TempFolder folder;
    folder.writeFile(L"out\\big.bin", "already here");
    const std::vector<FileInfo> records = {
        recordOf(folder.writeFile(L"in\\photo.jpg", "picture"), "photo.jpg"),
        recordOf(big, "big.bin"),
        recordOf(big, "big.bin"),
    };
    const std::string target = folder.narrowPath() + "\\out";

    StreamCapture capture;
    const auto results = RecoveryEngine().recoverFiles(records, target);

    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].status, "recovered");
    EXPECT_EQ(results[1].status, "partial_recovery");
    EXPECT_EQ(results[2].status, "partial_recovery");
    // Each failed copy removed its own destination, which the next one then took again; the file
    // that was there before stays.
    EXPECT_EQ(results[1].path, target + "\\big (2).bin");
    EXPECT_EQ(results[2].path, target + "\\big (2).bin");
    EXPECT_FALSE(exists(folder.pathOf(L"out\\big (2).bin")));
    EXPECT_FALSE(exists(folder.pathOf(L"out\\big (3).bin")));
    EXPECT_EQ(readFile(folder.pathOf(L"out\\big.bin")), "already here");
    EXPECT_EQ(readFile(folder.pathOf(L"out\\photo.jpg")), "picture");

    const auto errors = capture.errorLines();
    ASSERT_EQ(errors.size(), 2u);
    for (const std::string& error : errors) {
        EXPECT_TRUE(error.starts_with("复制文件失败: " + ansi(big) + " -> big.bin, 错误代码: ")) << error;
        EXPECT_NE(errorCodeOf(error), "0");
    }
    EXPECT_EQ(capture.outLines().back(), "恢复完成，成功: 1, 失败: 2");
}

TEST(RecoverFiles, NamesThatLeaveTheTargetAreRefused)
{
    TempFolder folder;
    const std::wstring source = folder.writeFile(L"in\\x.txt", "x");
    const std::string target = folder.narrowPath() + "\\deep\\out";
    folder.makeFolder(L"deep\\out");
    std::vector<FileInfo> records;
    for (const char* name : {"..\\escaped.txt", "../escaped.txt", "C:escaped.txt", ".", ".."}) {
        records.push_back(recordOf(source, name));
    }

    StreamCapture capture;
    const auto results = RecoveryEngine().recoverFiles(records, target);

    ASSERT_EQ(results.size(), records.size());
    for (const FileInfo& result : results) {
        EXPECT_EQ(result.status, "partial_recovery") << result.name;
    }
    const auto errors = capture.errorLines();
    ASSERT_EQ(errors.size(), records.size());
    for (size_t i = 0; i < errors.size(); ++i) {
        EXPECT_EQ(errors[i], "复制文件失败: " + records[i].path + " -> " + records[i].name + ", 错误代码: 123");
    }
    EXPECT_FALSE(exists(folder.pathOf(L"deep\\escaped.txt")));
    EXPECT_FALSE(exists(folder.pathOf(L"deep\\out (2)")));
    EXPECT_EQ(capture.outLines().back(), "恢复完成，成功: 0, 失败: 5");
}

TEST(RecoverFiles, EmptyTargetCopiesNothing)
{
    TempFolder folder;
    const std::string name = "quorvane-empty-target-" + std::to_string(GetCurrentProcessId()) + ".txt";
    const FileInfo record = recordOf(folder.writeFile(unicode(name), "x"), name);
    // Where a copy joined as text would go; removed at the end should one appear there.
    MadeFiles strays;
    strays.claim(L"\\" + unicode(name));

    StreamCapture capture;
    const auto results = RecoveryEngine().recoverFiles({record, record}, "");

    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].status, "partial_recovery");
    EXPECT_EQ(results[1].status, "partial_recovery");
    EXPECT_EQ(capture.errorLines(),
              std::vector<std::string>(2, "复制文件失败: " + record.path + " -> " + name + ", 错误代码: 3"));
    // Joined as text, the copy would have gone to the root of the current drive.
    EXPECT_FALSE(exists(L"\\" + unicode(name)));
    EXPECT_EQ(countOf(capture.outLines(), "目标路径缓冲区大小: 1"), 2u);
}

TEST(RecoverFiles, EmptyListOnlyOpensAndSums)
{
    TempFolder folder;
    const std::string target = folder.narrowPath() + "\\never";

    StreamCapture capture;
    EXPECT_TRUE(RecoveryEngine().recoverFiles({}, target).empty());

    EXPECT_EQ(capture.outLines(),
              (std::vector<std::string>{"开始恢复 0 个文件到 " + target, "恢复完成，成功: 0, 失败: 0"}));
    EXPECT_FALSE(exists(unicode(target)));
}
