#include "scan_reporter.h"

#include "elevation.h"
#include "progress_mode.h"
#include "scan_messages.h"
#include "text_encoding.h"

#include <algorithm>
#include <locale>
#include <memory>
#include <sstream>

void ScanReporter::onFileFound(const FileInfo& file)
{
    if (target.stopRequested->load()) {
        return;
    }
    postFoundFile(target.window, std::make_unique<FileInfo>(file), target.queuedFiles, *target.postsAbandoned);
    const int n = ++totalFilesFound;
    if (n == 1 || n % 5 == 0) {
        postScanMessage(target.window, WM_SCAN_STATUS, 0, std::make_unique<std::wstring>(statusLine(file.name)),
                        *target.postsAbandoned);
    }
    // Lets the window's thread keep up with the queue.
    if (n % 10 == 0) {
        Sleep(2);
    }
}

std::wstring ScanReporter::statusLine(const std::string& name) const
{
    std::wostringstream statusStream;
    statusStream.imbue(std::locale::classic());
    const auto wideName = toWide(name);
    if (!wideName) {
        statusStream << L"正在扫描: [未知文件名] (" << totalFilesFound << L")";
    } else if (isRunAsAdmin()) {
        statusStream << L"正在扫描: " << L" (" << totalFilesFound << L"/" << recoveryTotalSectors << L") " << *wideName;
    } else {
        statusStream << L"正在扫描: " << totalFilesFound << L"  " << *wideName;
    }
    return statusStream.str();
}

void ScanReporter::onScanProgress(std::uint64_t position, std::uint64_t total, std::uint64_t)
{
    currentSector = position;
    recoveryTotalSectors = total;

    const bool wanted = total == 0;
    if (wanted != lastIndeterminate.load()) {
        lastIndeterminate.store(wanted);
        post(WM_SCAN_PROGRESS_MODE, wanted ? TRUE : FALSE);
        // The switch may have changed what the bar shows; the next value is posted whatever it is.
        lastProgressValue.reset();
    }
    if (total == 0) {
        return;
    }
    const std::uint64_t value = std::min<std::uint64_t>(position * 10000 / total, 10000);
    if (value != lastProgressValue) {
        lastProgressValue = value;
        post(WM_SCAN_PROGRESS, static_cast<WPARAM>(value));
    }
}

void ScanReporter::onScanReturned()
{
    // A stop asked for during the scan: the window's end handler clears the flags.
    if (target.stopRequested->load()) {
        post(WM_SCAN_STOPPED);
        return;
    }
    post(WM_SCAN_SUMMARY, static_cast<WPARAM>(totalFilesFound));
    const bool stoppedMeanwhile = target.stopRequested->load();
    target.isScanning->store(false);
    post(stoppedMeanwhile ? WM_SCAN_STOPPED : WM_SCAN_COMPLETE);
}

void ScanReporter::post(UINT message, WPARAM wParam) const
{
    postScanMessage(target.window, message, wParam, 0, *target.postsAbandoned);
}
