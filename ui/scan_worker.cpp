#include "scan_worker.h"

#include "elevation.h"
#include "log.h"
#include "progress_mode.h"
#include "scan_messages.h"
#include "text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <locale>
#include <memory>
#include <optional>
#include <sstream>

namespace {

// The engine's callbacks for one scan, with the counters they keep on the worker thread.
class ScanReporter {
public:
    explicit ScanReporter(const ScanTarget& target) : target(target) {}

    void onFileFound(const FileInfo& file);
    void onScanProgress(std::uint64_t position, std::uint64_t total, std::uint64_t count);

    int filesFound() const { return totalFilesFound; }

private:
    std::wstring statusLine(const std::string& name) const;

    const ScanTarget& target;
    int totalFilesFound = 0;
    std::uint64_t currentSector = 0;
    std::uint64_t recoveryTotalSectors = 0;
    // The bar's value as last posted: a value is posted only when it changes, so that a scan does
    // not flood the queue with one message per file.
    std::optional<std::uint64_t> lastProgressValue;
};

void ScanReporter::onFileFound(const FileInfo& file)
{
    if (target.stopRequested->load()) {
        return;
    }
    postScanMessage(target.window, WM_SCAN_FILE_FOUND, 0, std::make_unique<FileInfo>(file), *target.postsAbandoned);
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
        postScanMessage(target.window, WM_SCAN_PROGRESS_MODE, wanted ? TRUE : FALSE, 0, *target.postsAbandoned);
        // The switch may have changed what the bar shows; the next value is posted whatever it is.
        lastProgressValue.reset();
    }
    if (total == 0) {
        return;
    }
    const std::uint64_t value = std::min<std::uint64_t>(position * 10000 / total, 10000);
    if (value != lastProgressValue) {
        lastProgressValue = value;
        postScanMessage(target.window, WM_SCAN_PROGRESS, static_cast<WPARAM>(value), 0, *target.postsAbandoned);
    }
}

// Every failure ends the scan the same way: the message, then the flag.
void reportFailure(const ScanTarget& target, std::string_view message)
{
    auto text = std::make_unique<char[]>(message.size() + 1);
    std::copy(message.begin(), message.end(), text.get());
    postScanMessage(target.window, WM_SCAN_ERROR, 0, std::move(text), *target.postsAbandoned);
    target.isScanning->store(false);
}

void runScan(const ScanTarget& target, const ScanParameters& parameters)
{
    const auto post = [&target](UINT message, WPARAM wParam = 0) {
        postScanMessage(target.window, message, wParam, 0, *target.postsAbandoned);
    };
    try {
        ScanReporter reporter(target);
        FileFoundCallback onFileFound = [&reporter](const FileInfo& file) { reporter.onFileFound(file); };
        ProgressCallback onProgress = [&reporter](std::uint64_t position, std::uint64_t total, std::uint64_t count) {
            reporter.onScanProgress(position, total, count);
        };
        target.engine->scanDevice(parameters.devicePath, parameters.scenario, parameters.fileTypes, onFileFound,
                                  target.stopRequested, parameters.scanDepth, onProgress);

        // A stop asked for during the scan: the window's end handler clears the flags.
        if (target.stopRequested->load()) {
            post(WM_SCAN_STOPPED);
            return;
        }
        post(WM_SCAN_SUMMARY, static_cast<WPARAM>(reporter.filesFound()));
        const bool stoppedMeanwhile = target.stopRequested->load();
        target.isScanning->store(false);
        post(stoppedMeanwhile ? WM_SCAN_STOPPED : WM_SCAN_COMPLETE);
    } catch (const std::exception& error) {
        diag::out(std::string("扫描设备时发生异常: ") + error.what());
        reportFailure(target, "");
    } catch (...) {
        diag::out("扫描设备时发生未知异常");
        reportFailure(target, "");
    }
}

} // namespace

void scanWorker(const ScanTarget& target, const ScanParameters& parameters)
{
    try {
        auto firstLine = std::make_unique<std::wstring>(L"正在扫描设备: " + toWide(parameters.devicePath).value_or(L""));
        postScanMessage(target.window, WM_SCAN_STATUS, 0, std::move(firstLine), *target.postsAbandoned);
        runScan(target, parameters);
    } catch (const std::exception& error) {
        diag::out(std::string("扫描线程发生异常: ") + error.what());
        reportFailure(target, error.what());
    } catch (...) {
        diag::out("扫描线程发生未知异常");
        reportFailure(target, "");
    }
}
