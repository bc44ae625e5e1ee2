#include "scan_messages.h"

#include <string>

namespace {

constexpr DWORD queueFullPauseMs = 5;
constexpr DWORD queueBoundPauseMs = 1;

} // namespace

bool postScanMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const std::atomic<bool>& giveUp)
{
    while (!PostMessageW(window, message, wParam, lParam)) {
        // Any other failure (the window is gone) will not pass by waiting.
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA || giveUp.load()) {
            return false;
        }
        Sleep(queueFullPauseMs);
    }
    return true;
}

bool postFoundFile(HWND window, std::unique_ptr<FileInfo> file, std::atomic<int>* queuedFiles,
                   const std::atomic<bool>& giveUp)
{
    if (queuedFiles) {
        while (queuedFiles->load() >= maxQueuedFiles && !giveUp.load()) {
            Sleep(queueBoundPauseMs);
        }
        // Counted before the post, so that the window never takes a file it has not counted.
        ++*queuedFiles;
    }
    if (postScanMessage(window, WM_SCAN_FILE_FOUND, 0, std::move(file), giveUp)) {
        return true;
    }
    if (queuedFiles) {
        --*queuedFiles;
    }
    return false;
}

int takeQueuedFile(std::atomic<int>& queuedFiles)
{
    // Only the window lowers the count, so a count above 0 stays so until it does.
    if (queuedFiles.load() <= 0) {
        return 0;
    }
    return --queuedFiles;
}

void freeScanPayload(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_SCAN_FILE_FOUND:
        delete reinterpret_cast<FileInfo*>(lParam);
        break;
    case WM_SCAN_ERROR:
        delete[] reinterpret_cast<char*>(lParam);
        break;
    case WM_SCAN_STATUS:
    case WM_SCAN_PROGRESS:
    case WM_SCAN_ERROR_TEXT:
        delete reinterpret_cast<std::wstring*>(lParam);
        break;
    default:
        break;
    }
}

int discardScanMessages(HWND window, const std::function<void(bool marquee)>& applyMode)
{
    int taken = 0;
    MSG message;
    while (PeekMessageW(&message, window, WM_SCAN_FILE_FOUND, WM_SCAN_ERROR_TEXT, PM_REMOVE)) {
        freeScanPayload(message.message, message.lParam);
        ++taken;
    }
    while (PeekMessageW(&message, window, WM_SCAN_PROGRESS_MODE, WM_SCAN_PROGRESS_MODE, PM_REMOVE)) {
        if (applyMode) {
            applyMode(message.wParam != FALSE);
        }
        ++taken;
    }
    return taken;
}
