#include "drive_ownership.h"
#include "made_files.h"
#include "sector_reader.h"
#include "stream_capture.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace std::string_view_literals;

namespace {

constexpr std::string_view jpegBytes = "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00"sv;
constexpr std::string_view pngBytes = "\x89PNG\x0D\x0A\x1A\x0A"sv;
constexpr std::string_view plainWords = "plain words";

std::vector<std::string> pathsOf(const std::vector<FileInfo>& records)
{
    std::vector<std::string> paths;
    for (const FileInfo& record : records) {
        paths.push_back(record.path);
    }
    return paths;
}

// Drive T: is a folder of the test's own; each tree lives under T:\sig.
class SignatureScan : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ownDrive(L"t:")); }

    MadeFiles made;
    SectorReader reader;
};

} // namespace

TEST_F(SignatureScan, SearchesTheLastFolderPushedFirstAndClassifiesByContent)
{
    made.writeFile(L"T:\\sig\\a.jpg", jpegBytes);
    made.writeFile(L"T:\\sig\\x\\x1.png", pngBytes);
    made.writeFile(L"T:\\sig\\x\\deep\\d.gif", "GIF89a");
    made.writeFile(L"T:\\sig\\y\\y1", "%PDF-1.7");
    made.writeFile(L"T:\\sig\\z.txt", plainWords);

    StreamCapture capture;
    const auto records = reader.scanFileSignatures("T:\\sig", {});
    EXPECT_EQ(pathsOf(records), (std::vector<std::string>{"T:\\sig\\a.jpg", "T:\\sig\\z.txt", "T:\\sig\\y\\y1",
                                                          "T:\\sig\\x\\x1.png", "T:\\sig\\x\\deep\\d.gif"}));
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{"执行文件签名扫描..."}));

    ASSERT_EQ(records.size(), 5u);
    const FileInfo& pdf = records[2];
    EXPECT_TRUE(pdf.id.starts_with("signature_" + std::to_string(GetCurrentProcessId()) + "_")) << pdf.id;
    EXPECT_TRUE(pdf.id.ends_with("_y1")) << pdf.id;
    EXPECT_EQ(pdf.name, "y1");
    EXPECT_EQ(pdf.size, 8u);
    EXPECT_EQ(pdf.modifiedTime.size(), 19u);
    EXPECT_EQ(pdf.status, "partially_recoverable");
    EXPECT_EQ(pdf.fileType, "document");
    EXPECT_EQ(pdf.description, "通过签名检测找到的document文件");
    EXPECT_EQ(pdf.recoveryMethod, "signature_based");
    EXPECT_EQ(records[1].fileType, "text");

    const auto images = reader.scanFileSignatures("T:\\sig\\", {"image"});
    EXPECT_EQ(pathsOf(images), (std::vector<std::string>{"T:\\sig\\\\a.jpg", "T:\\sig\\\\x\\x1.png",
                                                         "T:\\sig\\\\x\\deep\\d.gif"}));
}

TEST_F(SignatureScan, KeepsUnknownFilesOnlyWithoutAFilter)
{
    made.writeFile(L"T:\\sig\\README", plainWords);
    made.writeFile(L"T:\\sig\\photo", jpegBytes);

    const auto all = reader.scanFileSignatures("T:\\sig", {});
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].name, "README");
    EXPECT_EQ(all[1].fileType, "unknown");

    const auto everyCategory = reader.scanFileSignatures(
        "T:\\sig", {"document", "image", "video", "audio", "email", "archive", "text", "other"});
    EXPECT_EQ(pathsOf(everyCategory), (std::vector<std::string>{"T:\\sig\\photo"}));
}

TEST_F(SignatureScan, SearchesEveryDepthAndEveryFolderName)
{
    made.writeFile(L"T:\\sig\\$Recycle.Bin\\1\\2\\3\\4\\5\\6\\7\\8\\deep.txt", plainWords);
    made.writeFile(L"T:\\sig\\Windows\\System32\\drv.sys");
    const auto records = reader.scanFileSignatures("T:\\sig", {});
    EXPECT_EQ(pathsOf(records), (std::vector<std::string>{"T:\\sig\\Windows\\System32\\drv.sys",
                                                          "T:\\sig\\$Recycle.Bin\\1\\2\\3\\4\\5\\6\\7\\8\\deep.txt"}));
}

TEST_F(SignatureScan, FolderThatLeadsBackIntoAnAncestorIsSearchedOnce)
{
    // T:\loop\inner\up is a link to T:\loop, made on the Linux side before the test starts.
    const DWORD link = GetFileAttributesW(L"T:\\loop\\inner\\up");
    ASSERT_NE(link, INVALID_FILE_ATTRIBUTES);
    ASSERT_NE(link & FILE_ATTRIBUTE_DIRECTORY, 0u);
    made.writeFile(L"T:\\loop\\a.png", pngBytes);
    made.writeFile(L"T:\\loop\\inner\\b.jpg", jpegBytes);

    EXPECT_EQ(pathsOf(reader.scanFileSignatures("T:\\loop", {})),
              (std::vector<std::string>{"T:\\loop\\a.png", "T:\\loop\\inner\\b.jpg"}));
    // Started inside the loop, the link is the way back up and is searched once too.
    EXPECT_EQ(pathsOf(reader.scanFileSignatures("T:\\loop\\inner", {})),
              (std::vector<std::string>{"T:\\loop\\inner\\b.jpg", "T:\\loop\\inner\\up\\a.png"}));
}

TEST_F(SignatureScan, EmptyOrMissingFolderGivesNothing)
{
    made.makeFolder(L"T:\\sig\\empty");
    StreamCapture capture;
    EXPECT_TRUE(reader.scanFileSignatures("T:\\sig\\empty", {}).empty());
    EXPECT_TRUE(reader.scanFileSignatures("T:\\sig\\missing", {}).empty());
    EXPECT_EQ(capture.outLines(), (std::vector<std::string>{"执行文件签名扫描...", "执行文件签名扫描..."}));
}
