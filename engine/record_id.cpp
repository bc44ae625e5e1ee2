#include "record_id.h"

#include <windows.h>

#include <ctime>

std::string processRecordId(std::string_view prefix)
{
    return std::string(prefix) + std::to_string(GetCurrentProcessId());
}

std::string timedRecordId(std::string_view prefix)
{
    return processRecordId(prefix) + "_" + std::to_string(static_cast<long long>(std::time(nullptr)));
}
