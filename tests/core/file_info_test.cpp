#include "file_info.h"
#include "time_text.h"

#include <gtest/gtest.h>

TEST(FileInfo, DefaultRecordHoldsUnknownKeywords)
{
    const FileInfo info;
    EXPECT_EQ(info.status, "unknown");
    EXPECT_EQ(info.fileType, "unknown");
    EXPECT_EQ(info.recoveryMethod, "unknown");
    EXPECT_EQ(info.size, 0u);
    for (const std::string* text : {&info.id, &info.name, &info.path, &info.modifiedTime, &info.extension,
                                    &info.description}) {
        EXPECT_TRUE(text->empty());
    }
}

TEST(FileInfo, CalendarTextPadsEveryField)
{
    EXPECT_EQ(calendarTimeText(2026, 2, 5, 9, 7, 3), "2026-02-05 09:07:03");
    EXPECT_EQ(calendarTimeText(987, 12, 31, 23, 59, 59), "0987-12-31 23:59:59");
    // The widths are minimums: a five-digit year stays whole.
    EXPECT_EQ(calendarTimeText(10000, 1, 1, 0, 0, 0), "10000-01-01 00:00:00");
}
