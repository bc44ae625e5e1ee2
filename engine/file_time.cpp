#include "file_time.h"

#include "time_text.h"

std::string fileTimeText(const FILETIME& time)
{
    SYSTEMTIME calendar{};
    if (!FileTimeToSystemTime(&time, &calendar)) {
        return "Unknown";
    }
    return calendarTimeText(calendar.wYear, calendar.wMonth, calendar.wDay,
                            calendar.wHour, calendar.wMinute, calendar.wSecond);
}
