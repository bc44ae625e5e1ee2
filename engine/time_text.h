#pragma once

#include <string>

// "YYYY-MM-DD hh:mm:ss"; the widths are minimums, so a five-digit year stays whole.
std::string calendarTimeText(int year, int month, int day, int hour, int minute, int second);
