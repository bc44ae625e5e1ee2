#include "recovery_engine.h"
#include "stream_capture.h"
#include "temp_folder.h"
#include "unique_handle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <ctime>
#include <stdexcept>

namespace {

using Progress = std::array<std::uint64_t, 3>;

// One walk from depth 0 with its own position counter, recording every report.
struct Walk {
    RecoveryEngine engine;
    std::vector<FileInfo> found;
    std::vector<Progress> progress;
    std::uint64_t counter = 0;
    std::atomic<bool> stop{false};
    std::function<void(const FileInfo&)> onFound;

    void run(const std::string& folder, const std::vector<std::string>& fileTypes = {}, int maxDepth = 5,
             std::uint64_t total = 777)
    {
        RecoveryEngine::scanDirectoryRecursive(
            folder, fileTypes,
            [this](const FileInfo& info) {
                found.push_back(info);
                if (onFound) {
                    onFound(info);
                }
            },
            &engine, &stop, 0, maxDepth,
            [this](std::uint64_t position, std::uint64_t totalSectors, std::uint64_t count) {
                progress.push_back({position, totalSectors, count});
            },
            &counter, total);
    }

    const FileInfo* byName(const std::string& name) const
    {
        for (const FileInfo& info : found) {
            if (info.name == name) {
                return &info;
            }
        }
        return nullptr;
    }
};

FILETIME fileTimeOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME calendar{};
    calendar.wYear = year;
    calendar.wMonth = month;
    calendar.wDay = day;
    calendar.wHour = hour;
    calendar.wMinute = minute;
    calendar.wSecond = second;
    FILETIME time{};
    SystemTimeToFileTime(&calendar, &time);
    return time;
}

std::string zeroPadded(int value, int width)
{
    std::string text = std::to_string(value);
    return std::string(static_cast<size_t>(width) - text.size(), '0') + text;
}

} // namespace

TEST(FolderWalk, KeptFileRecordCarriesEveryField)
{
    TempFolder tree;
    const std::wstring photo = tree.writeFile(L"Photo.JPG", "12345");
    FileHandle file(CreateFileW(photo.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const FILETIME written = fileTimeOf(2030, 1, 1, 0, 0, 5);
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &written));
    file.reset();

    Walk walk;
    const auto before = std::time(nullptr);
    walk.run(tree.narrowPath(), {"image"});
    const auto after = std::time(nullptr);

    ASSERT_EQ(walk.found.size(), 1u);
    const FileInfo& info = walk.found[0];
    const std::string path = tree.narrowPath() + "\\Photo.JPG";
    EXPECT_EQ(info.name, "Photo.JPG");
    EXPECT_EQ(info.path, path);
    EXPECT_EQ(info.size, 5u);
    EXPECT_EQ(info.modifiedTime, "2030-01-01 00:00:05");
    EXPECT_EQ(info.status, "recoverable");
    EXPECT_EQ(info.fileType, "image");
    EXPECT_EQ(info.extension, ".jpg");
    EXPECT_EQ(info.description, "从" + path + "恢复的image文件");
    EXPECT_EQ(info.recoveryMethod, "filesystem_entry");

    const std::string stem = "file_" + std::to_string(GetCurrentProcessId()) + "_";
    bool idMatches = false;
    for (auto t = before; t <= after; ++t) {
        idMatches = idMatches || info.id == stem + std::to_string(t) + "_9";
    }
    EXPECT_TRUE(idMatches) << info.id;
}

TEST(FolderWalk, ExtensionsAndCategoriesComeFromTheWholeName)
{
    TempFolder tree;
    tree.writeFile(L"Photo.JPG");
    tree.writeFile(L"archive.tar.gz");
    tree.writeFile(L"README");
    tree.writeFile(L".gitignore");
    const std::wstring hidden = tree.writeFile(L"secret.pdf");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    Walk walk;
    walk.run(tree.narrowPath());

    ASSERT_EQ(walk.found.size(), 5u);
    const std::array<std::array<const char*, 3>, 5> expected = {{
        {"Photo.JPG", ".jpg", "image"},
        {"archive.tar.gz", ".gz", "archive"},
        {"README", "", "other"},
        {".gitignore", ".gitignore", "other"},
        {"secret.pdf", ".pdf", "document"},
    }};
    for (const auto& [name, extension, category] : expected) {
        const FileInfo* info = walk.byName(name);
        ASSERT_NE(info, nullptr) << name;
        EXPECT_EQ(info->extension, extension) << name;
        EXPECT_EQ(info->fileType, category) << name;
    }
}

TEST(FolderWalk, FilterComparesKeywordsExactly)
{
    TempFolder tree;
    tree.writeFile(L"a.png");
    tree.writeFile(L"b.txt");
    tree.writeFile(L"c");

    Walk exact;
    exact.run(tree.narrowPath(), {"image", "other"});
    ASSERT_EQ(exact.found.size(), 2u);
    EXPECT_EQ(exact.found[0].name, "a.png");
    EXPECT_EQ(exact.found[1].name, "c");

    Walk capitalised;
    capitalised.run(tree.narrowPath(), {"Image"});
    EXPECT_TRUE(capitalised.found.empty());
    // Passed-over files are still looked at and reported as progress.
    EXPECT_EQ(capitalised.progress.size(), 3u);
}

TEST(FolderWalk, DepthZeroAnnouncesSubfoldersButNeverListsThem)
{
    TempFolder tree;
    tree.writeFile(L"top.txt");
    tree.writeFile(L"sub\\inner.txt");
    const std::string sub = tree.narrowPath() + "\\sub";

    StreamCapture capture;
    Walk walk;
    walk.run(tree.narrowPath(), {}, 0);

    ASSERT_EQ(walk.found.size(), 1u);
    EXPECT_EQ(walk.found[0].name, "top.txt");
    EXPECT_EQ(capture.wideLines(), std::vector<std::wstring>{L"递归扫描子目录(深度1): " + unicode(sub)});
    EXPECT_EQ(capture.outLines(), std::vector<std::string>{"达到最大递归深度，停止递归扫描: " + sub});
    EXPECT_TRUE(capture.errorLines().empty());
}

TEST(FolderWalk, NegativeDepthReadsNothing)
{
    TempFolder tree;
    tree.writeFile(L"top.txt");

    StreamCapture capture;
    Walk walk;
    walk.run(tree.narrowPath(), {}, -1);

    EXPECT_TRUE(walk.found.empty());
    EXPECT_TRUE(walk.progress.empty());
    EXPECT_EQ(capture.outLines(), std::vector<std::string>{"达到最大递归深度，停止递归扫描: " + tree.narrowPath()});
}

TEST(FolderWalk, ReadsLevelsDownToMaxDepth)
{
    TempFolder tree;
    tree.writeFile(L"a\\one.txt");
    tree.writeFile(L"a\\b\\two.txt");
    tree.writeFile(L"a\\b\\c\\three.txt");

    StreamCapture capture;
    Walk walk;
    walk.run(tree.narrowPath(), {}, 2);

    // Listings come sorted by name, so folder b is entered before one.txt is met.
    ASSERT_EQ(walk.found.size(), 2u);
    EXPECT_EQ(walk.found[0].path, tree.narrowPath() + "\\a\\b\\two.txt");
    EXPECT_EQ(walk.found[1].name, "one.txt");
    EXPECT_EQ(capture.wideLines().back(), L"递归扫描子目录(深度3): " + tree.pathOf(L"a\\b\\c"));
}

TEST(FolderWalk, StopAtDepthTwoLeavesEveryLevel)
{
    TempFolder tree;
    tree.writeFile(L"a\\b\\f1.txt");
    tree.writeFile(L"a\\b\\f2.txt");
    tree.writeFile(L"a\\later.txt");
    tree.writeFile(L"z.txt");

    StreamCapture capture;
    Walk walk;
    walk.onFound = [&walk](const FileInfo& info) {
        if (info.name == "f1.txt") {
            walk.stop = true;
        }
    };
    walk.run(tree.narrowPath());

    ASSERT_EQ(walk.found.size(), 1u);
    EXPECT_EQ(walk.found[0].name, "f1.txt");
    // The report for the file whose callback raised the flag still follows; nothing after it.
    EXPECT_EQ(walk.progress, (std::vector<Progress>{{1, 777, 1}}));
    EXPECT_EQ(countOf(capture.outLines(), "收到停止请求，退出扫描"), 3u);
}

TEST(FolderWalk, NullStopFlagRunsToTheEnd)
{
    TempFolder tree;
    tree.writeFile(L"a\\one.txt");
    tree.writeFile(L"two.txt");
    std::vector<std::string> names;

    RecoveryEngine engine;
    std::uint64_t counter = 0;
    RecoveryEngine::scanDirectoryRecursive(
        tree.narrowPath(), {}, [&names](const FileInfo& info) { names.push_back(info.name); }, &engine,
        nullptr, 0, 3, nullptr, &counter, 0);

    EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "two.txt"}));
    EXPECT_EQ(counter, 2u);
}

TEST(FolderWalk, ProgressCountsEveryFileKeptOrPassedOver)
{
    TempFolder tree;
    for (int i = 0; i < 60; ++i) {
        tree.writeFile(L"a" + unicode(zeroPadded(i, 2)) + L".txt");
    }
    for (int i = 0; i < 30; ++i) {
        tree.writeFile(L"b" + unicode(zeroPadded(i, 2)) + L".jpg");
    }
    tree.writeFile(L"c\\one.jpg");
    tree.writeFile(L"c\\two.txt");

    Walk walk;
    walk.run(tree.narrowPath(), {"image"}, 5, 4242);

    EXPECT_EQ(walk.found.size(), 31u);
    ASSERT_EQ(walk.progress.size(), 92u);
    for (std::uint64_t i = 0; i < 90; ++i) {
        EXPECT_EQ(walk.progress[i], (Progress{i + 1, 4242, i + 1}));
    }
    // The position runs on into the subfolder while its own count starts again.
    EXPECT_EQ(walk.progress[90], (Progress{91, 4242, 1}));
    EXPECT_EQ(walk.progress[91], (Progress{92, 4242, 2}));
    EXPECT_EQ(walk.counter, 92u);
}

TEST(FolderWalk, TrailingBackslashDoublesTheSeparator)
{
    TempFolder tree;
    tree.writeFile(L"sub\\deep.txt");
    tree.writeFile(L"top.txt");

    Walk withSeparator;
    withSeparator.run(tree.narrowPath() + "\\");
    ASSERT_EQ(withSeparator.found.size(), 2u);
    EXPECT_EQ(withSeparator.found[0].path, tree.narrowPath() + "\\\\sub\\deep.txt");
    EXPECT_EQ(withSeparator.found[1].path, tree.narrowPath() + "\\\\top.txt");

    Walk plain;
    plain.run(tree.narrowPath());
    ASSERT_EQ(plain.found.size(), 2u);
    EXPECT_EQ(plain.found[1].path, tree.narrowPath() + "\\top.txt");
}

TEST(FolderWalk, IdsCountNameLengthInUtf16Units)
{
    TempFolder tree;
    tree.writeFile(L"ab.txt");
    tree.writeFile(L"cd.txt");
    tree.writeFile(L"\U0001F600.txt");

    Walk walk;
    const auto before = std::time(nullptr);
    walk.run(tree.narrowPath());
    const auto after = std::time(nullptr);

    // "file_", the process id, the second of the walk and the name's length: no part of the name
    // itself, so two names of one length found within one second share their id.
    ASSERT_EQ(walk.found.size(), 3u);
    const std::string stem = "file_" + std::to_string(GetCurrentProcessId()) + "_";
    for (const FileInfo& info : walk.found) {
        bool idMatches = false;
        for (auto t = before; t <= after; ++t) {
            idMatches = idMatches || info.id == stem + std::to_string(t) + "_6";   // a surrogate pair counts twice
        }
        EXPECT_TRUE(idMatches) << info.name << ": " << info.id;
    }
}

TEST(FolderWalk, ChineseAndEmojiNamesSurviveTheRoundTrip)
{
    ASSERT_EQ(GetACP(), 65001u) << "the manifest's UTF-8 code page is not in effect";
    TempFolder tree;
    const std::wstring name = L"照片\U0001F600.jpg";
    tree.writeFile(L"文件夹\\" + name, "data");

    Walk walk;
    walk.run(tree.narrowPath());

    ASSERT_EQ(walk.found.size(), 1u);
    const FileInfo& info = walk.found[0];
    EXPECT_EQ(unicode(info.name), name);
    EXPECT_EQ(unicode(info.path), tree.pathOf(L"文件夹\\" + name));
    EXPECT_EQ(info.name.find('?'), std::string::npos);

    // The narrow path names the file for the narrow file calls too.
    const std::string copy = tree.narrowPath() + "\\copy.jpg";
    EXPECT_NE(GetFileAttributesA(info.path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(CopyFileA(info.path.c_str(), copy.c_str(), TRUE));
}

TEST(FolderWalk, FolderThatCannotBeListedLeavesItsLine)
{
    TempFolder tree;
    const std::string missing = tree.narrowPath() + "\\missing";

    StreamCapture capture;
    Walk walk;
    walk.run(missing);

    EXPECT_TRUE(walk.found.empty());
    EXPECT_TRUE(walk.progress.empty());
    const auto lines = capture.outLines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string prefix = "无法打开目录: " + missing + "，错误代码: ";
    ASSERT_EQ(lines[0].substr(0, prefix.size()), prefix);
    const std::string code = lines[0].substr(prefix.size());
    EXPECT_TRUE(code == "2" || code == "3") << code;
    EXPECT_TRUE(capture.errorLines().empty());
}

TEST(FolderWalk, CallbackExceptionLeavesTheWalk)
{
    TempFolder tree;
    tree.writeFile(L"a\\b\\deep.txt");
    tree.writeFile(L"z.txt");

    Walk walk;
    walk.onFound = [](const FileInfo&) { throw std::runtime_error("callback failed"); };
    EXPECT_THROW(walk.run(tree.narrowPath()), std::runtime_error);
    EXPECT_EQ(walk.found.size(), 1u);
    EXPECT_TRUE(walk.progress.empty());
}
