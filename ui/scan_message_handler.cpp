#include "main_window.h"
#include "scan_messages.h"

#include <cstdint>
#include <locale>
#include <memory>
#include <sstream>

namespace {

// A count or a position travels in the low 32 bits of wParam.
int low32(WPARAM wParam)
{
    return static_cast<int>(static_cast<std::uint32_t>(wParam));
}

template <typename Payload>
std::unique_ptr<Payload> payloadOf(LPARAM lParam)
{
    return std::unique_ptr<Payload>(reinterpret_cast<Payload*>(lParam));
}

} // namespace

LRESULT MainWindow::onScanMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SCAN_FILE_FOUND: {
        const auto file = payloadOf<FileInfo>(lParam);
        // While more files wait, their rows go in undrawn; the shown list draws once they are through.
        if (takeQueuedFile(queuedFiles) > 0) {
            holdListRedraw();
        }
        if (file) {
            addFileToList(*file);
        }
        if (queuedFiles.load() <= 0) {
            drawShownListSoon();
        }
        return 0;
    }
    case WM_SCAN_COMPLETE:
        endScan(false);
        MessageBoxW(hwnd, L"扫描完成！", L"信息", MB_ICONINFORMATION);
        return 0;
    case WM_SCAN_ERROR: {
        const std::unique_ptr<char[]> unread(reinterpret_cast<char*>(lParam));
        endFailedScan();
        return 0;
    }
    case WM_SCAN_COUNT:
    case WM_SCAN_SUMMARY:
        onScanSummary(low32(wParam));
        return 0;
    case WM_SCAN_STATUS:
        if (const auto text = payloadOf<std::wstring>(lParam)) {
            setStatusText(*text);
        }
        return 0;
    case WM_SCAN_PROGRESS: {
        const auto text = payloadOf<std::wstring>(lParam);
        setProgress(low32(wParam));
        if (text) {
            setStatusText(*text);
        }
        return 0;
    }
    case WM_SCAN_STOPPED:
        endScan(true);
        return 0;
    case WM_SCAN_ERROR_TEXT:
        if (const auto text = payloadOf<std::wstring>(lParam)) {
            MessageBoxW(hwnd, text->c_str(), L"错误", MB_ICONERROR);
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void MainWindow::onScanSummary(int filesFound)
{
    std::wostringstream line;
    line.imbue(std::locale::classic());
    line << L"扫描完成！共找到 " << filesFound << L" 个文件。";
    setStatusText(line.str());
    // The final counts are shown however recently the titles changed.
    updateTabTitles(true);
}

void MainWindow::returnToIdle()
{
    releaseListRedraw();
    isScanning.store(false);
    stopRequested.store(false);
    updateScanButton(false);
    EnableWindow(scanButton, TRUE);
    EnableWindow(recoverButton, TRUE);
}

// The end of a scan that completed or stopped.
void MainWindow::endScan(bool stopped)
{
    returnToIdle();
    setProgressMarquee(false);
    setProgress(0);
    setStatusText(stopped ? L"扫描已停止" : L"扫描完成！");
    ShowWindow(progressBar, SW_HIDE);
    updateTabView();
    if (stopped) {
        // A stopped scan sends no summary; its titles must still show the rows it left.
        updateTabTitles(true);
    }
    joinScanWorker();
}

// A failed scan shows only its status text; the bar keeps its mode.
void MainWindow::endFailedScan()
{
    returnToIdle();
    setProgress(0);
    setStatusText(L"扫描失败");
    ShowWindow(progressBar, SW_HIDE);
    // As after the other two ends, the titles count the rows the scan left, not the last scan's.
    updateTabTitles(true);
    joinScanWorker();
}
