#include "control_ids.h"
#include "main_window.h"
#include "result_rows.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwchar>

namespace {

// The category keyword that routes a file to tabs 1 to 7, by tab; any other keyword ("other",
// "unknown", "executable") lists the file under "全部" only.
constexpr std::array<const char*, 7> categoryTabKeywords = {
    "document", "image", "video", "audio", "email", "archive", "text",
};

constexpr std::array<const wchar_t*, 8> titleFormats = {
    L"全部 (%d)", L"文档 (%d)", L"图片 (%d)", L"视频 (%d)", L"音频 (%d)", L"邮件 (%d)", L"压缩包 (%d)", L"文本 (%d)",
};

constexpr DWORD titleRefreshIntervalMs = 500;
// The shown list draws its held rows at most this often while files stream in: each time costs
// an update of its scroll bars and a full repaint.
constexpr DWORD shownListRedrawIntervalMs = 250;
constexpr UINT_PTR listRedrawTimer = 1;
constexpr int filesPerTitleRefresh = 20;

// Process-wide, like the one main window: calls of addFileToList since start-up (never reset, so
// the twentieth-file rhythm runs across scans) and the tick of the last title refresh.
std::int32_t filesAddedCount = 0;
DWORD lastTitleRefreshTick = 0;

int categoryTabFor(const std::string& fileType)
{
    for (size_t i = 0; i < categoryTabKeywords.size(); ++i) {
        if (fileType == categoryTabKeywords[i]) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

} // namespace

void MainWindow::addFileToList(const FileInfo& file)
{
    const int category = categoryTabFor(file.fileType);
    results.push_back(file);

    const RowTexts texts = rowTexts(file);
    const int selected = selectedTab();
    bool selectedListGotFirstRow = false;
    const auto addRow = [&](int tab) {
        // Rows go at the end, so the row at index 0 is the list's first.
        if (appendResultRow(listViews[tab], texts, file) == 0 && tab == selected) {
            selectedListGotFirstRow = true;
        }
    };
    if (!listViews.empty()) {
        addRow(0);
    }
    if (category > 0 && category < static_cast<int>(listViews.size())) {
        addRow(category);
    }

    // The selected tab's first row replaces its empty-state picture at once; later rows, in its
    // list or another, change nothing in the views.
    if (selectedListGotFirstRow) {
        releaseListRedraw();
        if (selected < static_cast<int>(emptyStateViews.size())) {
            emptyStateViews[selected].hide();
        }
        ShowWindow(listViews[selected], SW_SHOW);
        InvalidateRect(listViews[selected], nullptr, TRUE);
        UpdateWindow(listViews[selected]);
    }

    ++filesAddedCount;
    if (filesAddedCount % filesPerTitleRefresh == 0) {
        updateTabTitles();
    }
}

void MainWindow::updateTabTitles(bool evenIfRecent)
{
    // The unsigned difference stays right across the wrap of the tick count.
    const DWORD now = GetTickCount();
    if (!evenIfRecent && now - lastTitleRefreshTick < titleRefreshIntervalMs) {
        return;
    }
    lastTitleRefreshTick = now;
    if (!tabControl) {
        return;
    }

    SendMessageW(tabControl, WM_SETREDRAW, FALSE, 0);
    wchar_t tabTitles[titleFormats.size()][50] = {};
    for (size_t i = 0; i < titleFormats.size(); ++i) {
        const int count = i < listViews.size() ? rowCount(listViews[i]) : 0;
        std::swprintf(tabTitles[i], 50, titleFormats[i], count);
    }
    for (size_t i = 0; i < titleFormats.size(); ++i) {
        TCITEMW tie = {};
        tie.mask = TCIF_TEXT;
        tie.pszText = tabTitles[i];
        SendMessageW(tabControl, TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&tie));
    }
    SendMessageW(tabControl, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(tabControl, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void MainWindow::updateTabView()
{
    const int selected = selectedTab();
    if (selected < 0 || selected >= tabCount) {
        return;
    }
    showTabPane(selected);
}

void MainWindow::showEmptyState(bool show)
{
    const int selected = selectedTab();
    if (selected < 0 || selected >= tabCount || selected >= static_cast<int>(listViews.size()) ||
        selected >= static_cast<int>(emptyStateViews.size())) {
        return;
    }
    releaseListRedraw();
    if (show) {
        emptyStateViews[selected].show();
        ShowWindow(listViews[selected], SW_HIDE);
    } else {
        emptyStateViews[selected].hide();
        ShowWindow(listViews[selected], SW_SHOW);
    }
}

LRESULT MainWindow::onNotify(const NMHDR* notice)
{
    if (!notice) {
        return 0;
    }
    const auto id = static_cast<int>(notice->idFrom);
    if (id == controlId::tabControl && notice->code == TCN_SELCHANGE) {
        const int selected = selectedTab();
        if (selected >= 0 && selected < tabCount) {
            showTabPane(selected);
            if (selected < static_cast<int>(listViews.size())) {
                currentList = listViews[selected];
            }
            // The search tab always shows the matches of the box's present text.
            if (selected == searchTab) {
                applySearchFilter();
            }
        }
    } else if (notice->code == LVN_DELETEITEM && id >= controlId::firstListView &&
               id < controlId::firstListView + tabCount) {
        const auto* row = reinterpret_cast<const NMLISTVIEW*>(notice);
        delete reinterpret_cast<FileInfo*>(row->lParam);
    }
    return 0;
}

// Of all list and empty-state views only the selected tab's pair may show, and of that pair
// the list when it has rows, else the picture.
void MainWindow::showTabPane(int selected)
{
    releaseListRedraw();
    for (int i = 0; i < tabCount; ++i) {
        HWND list = i < static_cast<int>(listViews.size()) ? listViews[i] : nullptr;
        EmptyStateView* view = i < static_cast<int>(emptyStateViews.size()) ? &emptyStateViews[i] : nullptr;
        if (i == selected && rowCount(list) > 0) {
            if (view) {
                view->hide();
            }
            ShowWindow(list, SW_SHOW);
        } else if (i == selected) {
            if (view) {
                view->show();
            }
            ShowWindow(list, SW_HIDE);
        } else {
            ShowWindow(list, SW_HIDE);
            if (view) {
                view->hide();
            }
        }
    }
}

// The lists that scans fill: every tab's but the search's.
void MainWindow::holdListRedraw()
{
    const auto filled = std::min(listViews.size(), static_cast<std::size_t>(searchTab));
    listRedraw.hold(std::vector<HWND>(listViews.begin(), listViews.begin() + static_cast<std::ptrdiff_t>(filled)));
}

void MainWindow::releaseListRedraw()
{
    stopListRedrawTimer();
    listRedraw.release();
}

// No more files wait: the shown list draws now, or once the interval since it last drew is over.
// The hidden lists stay held: nothing shows one without releasing it first.
void MainWindow::drawShownListSoon()
{
    if (!listRedraw.holdingShown() || listRedrawTimerSet) {
        return;
    }
    const DWORD sinceLast = GetTickCount() - lastListRedrawTick;
    if (sinceLast >= shownListRedrawIntervalMs) {
        drawShownList();
        return;
    }
    listRedrawTimerSet = SetTimer(hwnd, listRedrawTimer, shownListRedrawIntervalMs - sinceLast, nullptr) != 0;
    if (!listRedrawTimerSet) {
        drawShownList();
    }
}

void MainWindow::drawShownList()
{
    stopListRedrawTimer();
    listRedraw.releaseShown();
    lastListRedrawTick = GetTickCount();
}

void MainWindow::stopListRedrawTimer()
{
    if (listRedrawTimerSet) {
        KillTimer(hwnd, listRedrawTimer);
        listRedrawTimerSet = false;
    }
}

void MainWindow::onTimer(UINT_PTR timer)
{
    if (timer != listRedrawTimer) {
        return;
    }
    stopListRedrawTimer();
    // Files that wait now end in drawShownListSoon once the last of them is listed.
    if (queuedFiles.load() <= 0) {
        drawShownList();
    }
}

int MainWindow::selectedTab() const
{
    if (!tabControl) {
        return -1;
    }
    return static_cast<int>(SendMessageW(tabControl, TCM_GETCURSEL, 0, 0));
}
