#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

// Wall-clock time from the performance counter.
class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start); }

    double seconds() const
    {
        LARGE_INTEGER now{};
        LARGE_INTEGER frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start{};
};

// The mean time of one Sleep(1) here and now, from a run of them: the pacing pauses cost this much.
inline double sleepOneSeconds(int count)
{
    const Stopwatch watch;
    for (int n = 0; n < count; ++n) {
        Sleep(1);
    }
    return watch.seconds() / count;
}

// The middle one of an odd number of timings; other runs on the machine only ever add time.
inline double median(std::vector<double> timings)
{
    std::sort(timings.begin(), timings.end());
    return timings[timings.size() / 2];
}
