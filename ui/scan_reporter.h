#pragma once

#include "scan_worker.h"

#include <cstdint>
#include <optional>
#include <string>

// The engine's callbacks for one scan and the report of its end, with the counters they keep on
// the worker thread. Everything reaches the window as posted messages.
class ScanReporter {
public:
    explicit ScanReporter(const ScanTarget& target) : target(target) {}

    void onFileFound(const FileInfo& file);
    void onScanProgress(std::uint64_t position, std::uint64_t total, std::uint64_t count);
    // After the engine returned: the summary and the end message, or the stop alone.
    void onScanReturned();

    int filesFound() const { return totalFilesFound; }

private:
    std::wstring statusLine(const std::string& name) const;
    void post(UINT message, WPARAM wParam = 0) const;

    const ScanTarget& target;
    int totalFilesFound = 0;
    std::uint64_t currentSector = 0;
    std::uint64_t recoveryTotalSectors = 0;
    // The bar's value as last posted: a value is posted only when it changes, so that a scan does
    // not flood the queue with one message per file.
    std::optional<std::uint64_t> lastProgressValue;
};
