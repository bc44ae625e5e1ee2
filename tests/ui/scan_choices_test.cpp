#include "scan_choices.h"
#include "size_text.h"

#include <gtest/gtest.h>

TEST(ScanChoices, TypedDrivePathsGetBackslashesAndATrailingSeparator)
{
    EXPECT_EQ(normalizeLocation(L"D:/data"), L"D:\\data\\");
    EXPECT_EQ(normalizeLocation(L"D:/data/sub/"), L"D:\\data\\sub\\");
    EXPECT_EQ(normalizeLocation(L"D:\\data/mixed"), L"D:\\data\\mixed\\");
    EXPECT_EQ(normalizeLocation(L"D:\\data\\"), L"D:\\data\\");
    EXPECT_EQ(normalizeLocation(L"D:\\数据"), L"D:\\数据\\");
}

TEST(ScanChoices, ShortTextsAndTextsWithoutADriveAreLeftAlone)
{
    for (const wchar_t* text : {L"C:", L"C:\\", L"C:/", L"data/sub", L"\\\\server/share", L" D:/data", L"D:data/x"}) {
        EXPECT_EQ(normalizeLocation(text), text);
    }
}

TEST(ScanChoices, NoTickedCategoryMeansEveryKeywordInBoxOrder)
{
    const std::vector<std::string> all = {"document", "image", "video", "audio", "email", "archive", "other", "text"};
    EXPECT_EQ(categoryKeywords({}), all);
    EXPECT_EQ(categoryKeywords({false, true, false, false, false, false, true, true}),
              (std::vector<std::string>{"image", "other", "text"}));
}

TEST(ScanChoices, SelectionsOutsideTheListsGiveTheComprehensiveScanAndDepthThree)
{
    EXPECT_EQ(scenarioKeyword(0), "accidental_deletion");
    EXPECT_EQ(scenarioKeyword(3), "reinstall_system");
    EXPECT_EQ(scenarioKeyword(-1), "");
    EXPECT_EQ(scenarioKeyword(4), "");
    EXPECT_EQ(scanDepthFor(2), 5);
    EXPECT_EQ(scanDepthFor(3), 10);
    EXPECT_EQ(scanDepthFor(-1), 3);
    EXPECT_EQ(scanDepthFor(4), 3);
}

TEST(SizeText, ChangesUnitAtEachPowerOf1024WithTwoDecimals)
{
    EXPECT_EQ(sizeText(0), L"0 B");
    EXPECT_EQ(sizeText(1023), L"1023 B");
    EXPECT_EQ(sizeText(1024), L"1.00 KB");
    EXPECT_EQ(sizeText(1536), L"1.50 KB");
    EXPECT_EQ(sizeText(1048575), L"1024.00 KB");
    EXPECT_EQ(sizeText(1048576), L"1.00 MB");
    EXPECT_EQ(sizeText(1073741823), L"1024.00 MB");
    EXPECT_EQ(sizeText(1073741824), L"1.00 GB");
    EXPECT_EQ(sizeText(2ull << 40), L"2048.00 GB");
    EXPECT_EQ(sizeText(1234567890123ull), L"1149.78 GB");
}
