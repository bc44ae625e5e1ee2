#pragma once

#include <atomic>

// The progress bar's mode as last asked for by the scan worker or applied by the window, true for
// marquee. Shared by both threads; false when the program starts.
extern std::atomic<bool> lastIndeterminate;
