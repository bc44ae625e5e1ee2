#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
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

// Sleep(1) measured on a thread of its own while something else runs: the pauses of the work being
// timed are priced as the machine served them meanwhile, not at some other moment.
class SleepSampler {
public:
    SleepSampler()
        : sampler([this] {
              const Stopwatch watch;
              while (!stop.load()) {
                  Sleep(1);
                  ++count;
              }
              seconds = watch.seconds();
          })
    {
    }

    // The mean time of one Sleep(1) since construction; call once.
    double finish()
    {
        stop.store(true);
        sampler.join();
        return count > 0 ? seconds / static_cast<double>(count) : 0;
    }

private:
    std::atomic<bool> stop{false};
    std::uint64_t count = 0;
    double seconds = 0;
    std::thread sampler;
};

// The least of several timings: other work on a shared machine only ever adds time.
inline double fastest(const std::vector<double>& timings)
{
    return *std::min_element(timings.begin(), timings.end());
}
