#include "scan_worker.h"

#include "log.h"
#include "scan_messages.h"
#include "scan_reporter.h"
#include "text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>

namespace {

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
    try {
        ScanReporter reporter(target);
        FileFoundCallback onFileFound = [&reporter](const FileInfo& file) { reporter.onFileFound(file); };
        ProgressCallback onProgress = [&reporter](std::uint64_t position, std::uint64_t total, std::uint64_t count) {
            reporter.onScanProgress(position, total, count);
        };
        target.engine->scanDevice(parameters.devicePath, parameters.scenario, parameters.fileTypes, onFileFound,
                                  target.stopRequested, parameters.scanDepth, onProgress);
        reporter.onScanReturned();
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
