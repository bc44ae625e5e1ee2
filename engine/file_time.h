#pragma once

#include <windows.h>

#include <string>

// A directory entry's FILETIME as UTC text; "Unknown" when it has no calendar form.
std::string fileTimeText(const FILETIME& time);
