#include "control_ids.h"
#include "main_window.h"
#include "scan_choices.h"
#include "scan_messages.h"
#include "scan_worker.h"
#include "text_encoding.h"

#include <commctrl.h>

#include <array>
#include <system_error>
#include <utility>

namespace {

LRESULT comboSelection(HWND combo)
{
    return combo ? SendMessageW(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
}

std::wstring windowText(HWND window)
{
    const auto length = static_cast<size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = static_cast<size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied < length ? copied : length);
    return text;
}

} // namespace

void MainWindow::startScan()
{
    if (isScanning.load()) {
        return;
    }
    joinScanWorker();

    const LRESULT locationSelection = comboSelection(pathCombo);
    const LRESULT scenarioSelection = comboSelection(scenarioCombo);
    std::vector<std::string> fileTypes = tickedCategories();
    const std::string devicePath = readLocation(locationSelection);
    if (!checkLocation(devicePath)) {
        return;
    }
    resetForScan();

    ScanParameters parameters{devicePath, scenarioKeyword(scenarioSelection), std::move(fileTypes),
                              scanDepthFor(comboSelection(depthCombo))};
    const ScanTarget target = scanTarget();
    try {
        scanThread = std::thread([target, parameters = std::move(parameters)] { scanWorker(target, parameters); });
    } catch (const std::system_error&) {
        // No worker will ever post an end message: end the scan here as a failed one.
        onScanMessage(hwnd, WM_SCAN_ERROR, 0, 0);
    }
}

void MainWindow::stopScan()
{
    if (!isScanning.load()) {
        return;
    }
    stopRequested.store(true);
    setStatusText(L"正在停止扫描...");
    updateScanButton(false);
    EnableWindow(scanButton, FALSE);
    ShowWindow(progressBar, SW_HIDE);
}

std::vector<std::string> MainWindow::tickedCategories() const
{
    std::array<bool, categoryBoxCount> ticked = {};
    for (int i = 0; i < categoryBoxCount; ++i) {
        HWND box = GetDlgItem(hwnd, controlId::firstCategoryBox + i);
        ticked[i] = box && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    return categoryKeywords(ticked);
}

// The typed text, normalised; without one the selected drive as listed; else nothing.
std::string MainWindow::readLocation(LRESULT selection) const
{
    if (!pathCombo) {
        return {};
    }
    const std::wstring typed = windowText(pathCombo);
    if (!typed.empty()) {
        return toNarrow(normalizeLocation(typed)).value_or("");
    }
    if (selection < 0) {
        return {};
    }
    const LRESULT length = SendMessageW(pathCombo, CB_GETLBTEXTLEN, selection, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(pathCombo, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(item.data()));
    item.resize(copied > 0 && copied <= length ? static_cast<size_t>(copied) : 0);
    return toNarrow(item).value_or("");
}

bool MainWindow::checkLocation(const std::string& devicePath) const
{
    const wchar_t* problem = nullptr;
    if (devicePath.empty()) {
        problem = L"请选择一个有效的设备路径";
    } else if (const DWORD attributes = GetFileAttributesA(devicePath.c_str()); attributes == INVALID_FILE_ATTRIBUTES) {
        problem = L"指定的路径不存在或无法访问，请检查路径是否正确。";
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        problem = L"指定的路径不是有效的目录，请选择一个有效的驱动器或目录。";
    }
    if (problem) {
        MessageBoxW(hwnd, problem, L"错误", MB_ICONERROR);
        return false;
    }
    return true;
}

void MainWindow::resetForScan()
{
    isScanning.store(true);
    stopRequested.store(false);
    // The last worker has been joined, so whatever it posted is queued by now; none of it may act
    // on the scan that starts here.
    discardStaleScanMessages();
    queuedFiles.store(0);
    releaseListRedraw();

    ShowWindow(progressBar, SW_SHOW);
    SetWindowPos(progressBar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    updateScanButton(true);
    EnableWindow(scanButton, TRUE);
    EnableWindow(recoverButton, TRUE);
    for (HWND list : listViews) {
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    }
    updateTabView();
    results.clear();
    if (searchEdit) {
        SetWindowTextW(searchEdit, L"");
    }
    ShowWindow(progressBar, SW_SHOW);
    setStatusText(L"正在准备扫描...");
    setProgress(0);
    SendMessageW(tabControl, TCM_SETCURSEL, 0, 0);
    for (int i = 0; i < tabCount; ++i) {
        if (i < static_cast<int>(listViews.size())) {
            ShowWindow(listViews[i], i == 0 ? SW_SHOW : SW_HIDE);
        }
        if (i < static_cast<int>(emptyStateViews.size())) {
            emptyStateViews[i].hide();
        }
    }
    if (!listViews.empty()) {
        currentList = listViews[0];
    }
}

void MainWindow::joinScanWorker()
{
    if (!scanThread.joinable()) {
        return;
    }
    // A worker waiting for room in a full queue would otherwise wait for this thread forever.
    workerPostsAbandoned.store(true);
    scanThread.join();
    workerPostsAbandoned.store(false);
}

ScanTarget MainWindow::scanTarget()
{
    return ScanTarget{hwnd, &engine, &isScanning, &stopRequested, &workerPostsAbandoned, &queuedFiles};
}

void MainWindow::discardStaleScanMessages()
{
    discardScanMessages(hwnd, [this](bool marquee) { setProgressMarquee(marquee); });
}
