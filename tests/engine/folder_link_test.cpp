#include "fixture_folder.h"
#include "recovery_engine.h"
#include "sector_reader.h"
#include "stream_capture.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

using Lines = std::vector<std::string>;

namespace {

Lines sortedPathsOf(const std::vector<FileInfo>& records, const std::string& method)
{
    Lines paths;
    for (const FileInfo& record : records) {
        if (record.recoveryMethod == method) {
            paths.push_back(record.path);
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The trees that tests/engine/link_trees.cmake makes on the Linux side before the suite starts,
// reached through Z:; the tests only read them.
class FolderLinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        trees = fixtureFolder(L"QUORVANE_LINK_TREES");
        ASSERT_FALSE(trees.empty()) << "QUORVANE_LINK_TREES names no folder";
        // The links are there and read as folders that are links.
        const DWORD up = GetFileAttributesW((trees + L"\\loop\\inner\\up").c_str());
        ASSERT_NE(up, INVALID_FILE_ATTRIBUTES);
        ASSERT_EQ(up & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
                  static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    }

    std::string tree(const wchar_t* name) const { return ansi(trees + L"\\" + name); }

    // The streaming walk from depth 0, as the window's scans run it.
    std::vector<FileInfo> walk(const std::string& folder, int maxDepth)
    {
        std::vector<FileInfo> found;
        std::uint64_t position = 0;
        RecoveryEngine::scanDirectoryRecursive(
            folder, {}, [&found](const FileInfo& info) { found.push_back(info); }, &engine, nullptr, 0, maxDepth,
            nullptr, &position, 0);
        return found;
    }

    std::wstring trees;
    RecoveryEngine engine;
    SectorReader reader;
};

} // namespace

TEST_F(FolderLinks, WalkNeverEntersALinkBackIntoAFolderItIsInside)
{
    const std::string loop = tree(L"loop");
    StreamCapture capture;
    EXPECT_EQ(sortedPathsOf(walk(loop, 5), "filesystem_entry"),
              (Lines{loop + "\\a.txt", loop + "\\inner\\b.txt", loop + "\\inner\\toside\\c.txt", loop + "\\side\\c.txt"}));
    // Links back up are passed over without a line; a link elsewhere is entered like any folder.
    const std::wstring loopW = unicode(loop);
    EXPECT_EQ(capture.wideLines(), (std::vector<std::wstring>{L"递归扫描子目录(深度1): " + loopW + L"\\inner",
                                                              L"递归扫描子目录(深度2): " + loopW + L"\\inner\\toside",
                                                              L"递归扫描子目录(深度1): " + loopW + L"\\side"}));
}

TEST_F(FolderLinks, WalkStartedBelowALinkTargetGoesUpOnceAndNoFurther)
{
    // From loop\inner, up leads to loop, which the walk is not inside yet; inside it, inner and
    // the links to loop itself lead back.
    const std::string inner = tree(L"loop\\inner");
    const StreamCapture capture;
    EXPECT_EQ(sortedPathsOf(walk(inner, 5), "filesystem_entry"),
              (Lines{inner + "\\b.txt", inner + "\\toside\\c.txt", inner + "\\up\\a.txt", inner + "\\up\\side\\c.txt"}));
}

TEST_F(FolderLinks, SectorLevelWalkNeverEntersALinkBackIntoAFolderItIsInside)
{
    const std::string root = tree(L"loop") + "\\";
    const StreamCapture capture;
    EXPECT_EQ(sortedPathsOf(reader.performSectorLevelScan(tree(L"loop"), {}, 5), "filesystem_scan"),
              (Lines{root + "\\a.txt", root + "\\inner\\b.txt", root + "\\inner\\toside\\c.txt", root + "\\side\\c.txt"}));
}

TEST_F(FolderLinks, SignatureScanSearchesEachFolderOnceHoweverManyLinksLeadToIt)
{
    // Every folder of the chain is reached directly and through two links from the one before.
    const std::string chain = tree(L"chain");
    const StreamCapture capture;
    Lines paths;
    for (const FileInfo& record : reader.scanFileSignatures(chain, {})) {
        paths.push_back(record.path);
    }
    EXPECT_EQ(paths, (Lines{chain + "\\d5\\f5.txt", chain + "\\d4\\f4.txt", chain + "\\d3\\f3.txt",
                            chain + "\\d2\\f2.txt", chain + "\\d1\\f1.txt", chain + "\\d0\\f0.txt"}));

    // Side is searched by the way met first (the last one pushed); toside then leads to it again.
    const std::string loop = tree(L"loop");
    paths.clear();
    for (const FileInfo& record : reader.scanFileSignatures(loop, {})) {
        paths.push_back(record.path);
    }
    EXPECT_EQ(paths, (Lines{loop + "\\a.txt", loop + "\\side\\c.txt", loop + "\\inner\\b.txt"}));
}
