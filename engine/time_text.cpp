#include "time_text.h"

#include <iomanip>
#include <sstream>

std::string calendarTimeText(int year, int month, int day, int hour, int minute, int second)
{
    std::ostringstream text;
    text << std::setfill('0')
         << std::setw(4) << year << '-'
         << std::setw(2) << month << '-'
         << std::setw(2) << day << ' '
         << std::setw(2) << hour << ':'
         << std::setw(2) << minute << ':'
         << std::setw(2) << second;
    return text.str();
}
