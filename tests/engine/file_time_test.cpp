#include "file_time.h"

#include <gtest/gtest.h>

namespace {

FILETIME fromTicks(unsigned long long ticks)
{
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

} // namespace

TEST(FileTimeText, ConvertsToUtcWithoutLocalTime)
{
    // 2030-01-01 00:00:05 UTC in 100-ns ticks since 1601.
    EXPECT_EQ(fileTimeText(fromTicks(135379296050000000ull)), "2030-01-01 00:00:05");
    EXPECT_EQ(fileTimeText(fromTicks(0)), "1601-01-01 00:00:00");
}

TEST(FileTimeText, YearsAboveNineThousandNineHundredNinetyNineKeepFiveDigits)
{
    // 10000-01-01 00:00:00 UTC.
    EXPECT_EQ(fileTimeText(fromTicks(2650467744000000000ull)), "10000-01-01 00:00:00");
}

TEST(FileTimeText, UnconvertibleTimeReadsUnknown)
{
    EXPECT_EQ(fileTimeText(fromTicks(0x8000000000000000ull)), "Unknown");
    EXPECT_EQ(fileTimeText(fromTicks(0xFFFFFFFFFFFFFFFFull)), "Unknown");
}
