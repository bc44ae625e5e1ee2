#pragma once

#include "file_info.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

// The messages the scan worker posts to the main window. A heap object in lParam belongs to the
// window once the post succeeded; until then it belongs to the sender.
constexpr UINT WM_SCAN_FILE_FOUND = WM_USER + 1;   // lParam: FileInfo*
constexpr UINT WM_SCAN_COMPLETE = WM_USER + 2;
constexpr UINT WM_SCAN_ERROR = WM_USER + 3;        // lParam: char[], NUL-ended, freed unread
constexpr UINT WM_SCAN_COUNT = WM_USER + 4;        // wParam: a file count; no sender, accepted
constexpr UINT WM_SCAN_STATUS = WM_USER + 5;       // lParam: std::wstring*
constexpr UINT WM_SCAN_SUMMARY = WM_USER + 6;      // wParam: the files found
constexpr UINT WM_SCAN_PROGRESS = WM_USER + 7;     // wParam: 0 to 10000; lParam: null or std::wstring*
constexpr UINT WM_SCAN_STOPPED = WM_USER + 8;
constexpr UINT WM_SCAN_ERROR_TEXT = WM_USER + 9;   // lParam: std::wstring*; no sender, accepted
// The progress bar's mode as the worker wants it: wParam TRUE for marquee, FALSE for normal.
constexpr UINT WM_SCAN_PROGRESS_MODE = WM_APP + 1;

// Posts the message. When the queue is full (Windows holds at most 10,000 posted messages per
// queue) it waits briefly and posts again, until `giveUp` is set. False when nothing was posted.
bool postScanMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const std::atomic<bool>& giveUp);

// The same with a heap payload in lParam: handed to the window when posted, deleted when not.
template <typename Payload>
bool postScanMessage(HWND window, UINT message, WPARAM wParam, std::unique_ptr<Payload> payload,
                     const std::atomic<bool>& giveUp)
{
    if (!postScanMessage(window, message, wParam, reinterpret_cast<LPARAM>(payload.get()), giveUp)) {
        return false;
    }
    payload.release();
    return true;
}

// At most this many found files wait in the window's queue. Without a bound a fast scan outruns a
// window that lists slowly (Wine's queues have no limit; Windows' hold 10,000 messages of every
// kind, then posting fails): every waiting file holds its record, and a click waits behind them all.
constexpr int maxQueuedFiles = 1000;

// Posts WM_SCAN_FILE_FOUND with the record, once fewer than maxQueuedFiles wait: until then it
// waits, unless `giveUp` is set. `queuedFiles` (null: no bound) counts the files posted and not
// yet taken: raised here, lowered by the window with takeQueuedFile. False when nothing was posted.
bool postFoundFile(HWND window, std::unique_ptr<FileInfo> file, std::atomic<int>* queuedFiles,
                   const std::atomic<bool>& giveUp);

// The window took one found file from its queue: returns how many still wait. A file posted
// without the count is no one's to take.
int takeQueuedFile(std::atomic<int>& queuedFiles);

// Frees what a scan message carries, for a message that will never be handled.
void freeScanPayload(UINT message, LPARAM lParam);

// Takes every scan message queued for the window out of the queue and frees its payload; the
// progress-mode requests among them go to applyMode, in order, so that the bar ends in the mode
// last asked for. Returns how many messages were taken.
int discardScanMessages(HWND window, const std::function<void(bool marquee)>& applyMode);
