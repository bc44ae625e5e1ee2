#include "record_id.h"

#include <windows.h>

#include <cstdint>

namespace {

// Seconds since 1970 (UTC), as time() gives them. The C runtime's time() looks up the time zone
// on every call, which under some runtimes costs more than the rest of a record; the walks take
// one per kept file.
long long secondsSince1970()
{
    constexpr std::uint64_t ticksPerSecond = 10000000;            // FILETIME counts 100 ns
    constexpr std::uint64_t ticksFrom1601To1970 = 116444736000000000;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<long long>((ticks - ticksFrom1601To1970) / ticksPerSecond);
}

} // namespace

std::string processRecordId(std::string_view prefix)
{
    return std::string(prefix) + std::to_string(GetCurrentProcessId());
}

std::string timedRecordId(std::string_view prefix)
{
    return processRecordId(prefix) + "_" + std::to_string(secondsSince1970());
}
