#pragma once

#include "recovery_engine.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

// What the scan worker may reach of its window: the window it posts to, the engine and the flags
// the two threads share. Nothing else of the window is touched on the worker thread.
struct ScanTarget {
    HWND window = nullptr;
    RecoveryEngine* engine = nullptr;
    std::atomic<bool>* isScanning = nullptr;
    std::atomic<bool>* stopRequested = nullptr;
    // Set while the window's thread waits for the worker to end: posts to a full queue then give up.
    std::atomic<bool>* postsAbandoned = nullptr;
    // The found files posted and not yet taken by the window; without it the queue is not bounded.
    std::atomic<int>* queuedFiles = nullptr;
};

// The choices a scan was started with, copied so that later changes to the controls do not reach it.
struct ScanParameters {
    std::string devicePath;   // ANSI code page
    std::string scenario;     // scenario keyword, or empty for the comprehensive scan
    std::vector<std::string> fileTypes;
    int scanDepth = 3;
};

// Runs one scan and reports it to the window by posted messages, ending with exactly one of
// WM_SCAN_COMPLETE, WM_SCAN_STOPPED and WM_SCAN_ERROR. Never throws.
void scanWorker(const ScanTarget& target, const ScanParameters& parameters);
