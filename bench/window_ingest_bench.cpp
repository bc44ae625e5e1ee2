// Window ingest: found files posted to a real main window by the scan worker's own reporter, on a
// thread of their own and at the worker's pace (a status line every fifth file, 2 ms after every
// tenth, a wait whenever the queue holds its bound of files), then the summary and the end, whose
// box "扫描完成！" a watcher answers. The window is created as the program creates it and the scan
// is started as the Scan button starts one, without the engine; the UI thread runs the program's
// message loop, instrumented. Figures:
//   - the time until the last row is listed, against the time the posting took;
//   - the UI thread's time in the found-file messages, against the same rows added to bare list
//     views (same styles, columns, texts and visibility) with their redrawing held off: the least
//     a list view takes;
//   - the peak number of found files waiting in the queue, against Windows' limit of 10,000
//     posted messages per queue (Wine has none: there a queue can grow without end);
//   - the peak memory per listed row (committed private bytes, and the working set), against the
//     bare list views' per row;
//   - the longest gap between two messages the UI thread takes from its queue, and the longest a
//     10 ms timer waited (it comes last, when no posted message, input or paint waits: the
//     longest the window went without a free moment), each against a delay that users notice.
// One round: the worker's own pauses make the posting last about 40 s.
//
//   window_ingest_bench.exe [files] [tab]
// files: 100,000 unless given; tab: the tab selected while the rows arrive (0, "全部", unless
// given; 8 shows the search tab, so that every list that gets rows is hidden).
//
//   window_ingest_bench.exe one-row [files]
// The same scan streamed twice, one document first and then text files (10,000 files unless
// given): with the documents tab shown, whose list holds that one row all along, against "全部"
// shown. Figures: the time until the last row is listed, and the UI thread's time in the found-file
// messages, each with the one-row tab against "全部".

#include "dialog_watcher.h"
#include "figure_line.h"
#include "gdiplus_session.h"
#include "main_window.h"
#include "main_window_test_access.h"
#include "scan_messages.h"
#include "scan_reporter.h"
#include "size_text.h"
#include "stopwatch.h"
#include "text_encoding.h"
#include "window_test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>
#include <uxtheme.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int defaultFiles = 100000;
constexpr int defaultOneRowFiles = 10000;
constexpr int documentsTab = 1;
constexpr int listCount = 8;   // the lists that get rows: "全部" and the seven categories
constexpr double windowsQueueLimit = 10000;
constexpr double noticeableDelaySeconds = 0.1;
constexpr UINT probePeriodMs = 10;

// Found files as the folder walk reports them, the eight categories in turn ("other" is listed
// under "全部" only), a hundred to a folder.
struct Kind {
    const char* fileType;
    const char* extension;
};
constexpr std::array<Kind, 8> kinds = {{
    {"image", ".jpg"}, {"document", ".docx"}, {"video", ".mp4"}, {"audio", ".mp3"},
    {"archive", ".zip"}, {"text", ".txt"}, {"email", ".eml"}, {"other", ".dat"},
}};

FileInfo foundFile(int n)
{
    const Kind& kind = kinds[static_cast<std::size_t>(n) % kinds.size()];
    const std::string folder = "C:\\data\\folder" + std::to_string(n / 1000) + "\\folder" + std::to_string(n / 100 % 10);
    FileInfo file;
    file.name = "file" + std::to_string(n % 100) + kind.extension;
    file.id = "file_20260203101112_" + std::to_string(n) + "_" + std::to_string(file.name.size());
    file.path = folder + "\\" + file.name;
    file.size = 1000 + static_cast<std::uint64_t>(n) * 7919 % 50000000;
    file.modifiedTime = "2026-02-03 10:11:12";
    file.status = "recoverable";
    file.fileType = kind.fileType;
    file.extension = kind.extension;
    file.description = "从" + folder + "恢复的" + kind.fileType + "文件";
    file.recoveryMethod = "filesystem_entry";
    return file;
}

// A scan that finds one document, first, and text files after it.
FileInfo oneDocumentThenText(int n)
{
    FileInfo file = foundFile(n);
    file.fileType = n == 0 ? "document" : "text";
    file.extension = n == 0 ? ".pdf" : ".txt";
    file.name = "file" + std::to_string(n % 100) + file.extension;
    return file;
}

int categoryList(int n)
{
    const int kind = n % static_cast<int>(kinds.size());
    return kind < listCount - 1 ? kind + 1 : 0;   // "other" has no list of its own
}

struct Memory {
    double privateBytes = 0;   // committed private memory, as Windows counts PrivateUsage
    double workingSet = 0;
};

// Wine leaves PrivateUsage at 0 and reports resident memory as PagefileUsage, so the committed
// private memory is summed from the address space itself.
double committedPrivateBytes()
{
    double total = 0;
    MEMORY_BASIC_INFORMATION region = {};
    const char* address = nullptr;
    while (VirtualQuery(address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += static_cast<double>(region.RegionSize);
        }
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) {
            break;
        }
        address = next;
    }
    return total;
}

Memory memoryNow()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return {committedPrivateBytes(), static_cast<double>(counters.WorkingSetSize)};
}

std::wstring wide(const std::string& text)
{
    return toWide(text).value_or(L"");
}

// The reference: eight bare report lists as the main window makes them (check boxes, grid lines,
// five columns, the first shown), in a window of their own, holding their rows.
class BareLists {
public:
    BareLists() : host(800, 600)
    {
        for (int i = 0; i < listCount; ++i) {
            HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | (i == 0 ? WS_VISIBLE : 0), 20,
                                        220, 500, 330, host.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
            SetWindowTheme(list, L"Explorer", nullptr);
            SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                         LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
            for (int column = 0; column < 5; ++column) {
                LVCOLUMNW lvc = {};
                lvc.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
                lvc.cx = 100;
                lvc.pszText = const_cast<wchar_t*>(L"column");
                lvc.iSubItem = column;
                SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
            }
            lists.push_back(list);
        }
        pumpMessages();
    }

    // Adds every file's row to the first list and to its category's, redrawing held off; returns
    // the rows added.
    int fill(int files)
    {
        for (HWND list : lists) {
            SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        }
        int rows = 0;
        for (int n = 0; n < files; ++n) {
            const FileInfo file = foundFile(n);
            const std::array<std::wstring, 5> texts = {wide(file.name), sizeText(file.size), wide(file.fileType),
                                                       wide(file.status), wide(file.path)};
            rows += addRow(lists[0], texts);
            if (const int category = categoryList(n); category > 0) {
                rows += addRow(lists[static_cast<std::size_t>(category)], texts);
            }
        }
        return rows;
    }

    // Lets the lists draw again, out of the way of the main window.
    void putAway()
    {
        for (HWND list : lists) {
            SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        }
        ShowWindow(host.get(), SW_HIDE);
        pumpMessages();
    }

private:
    static int addRow(HWND list, const std::array<std::wstring, 5>& texts)
    {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<wchar_t*>(texts[0].c_str());
        const auto index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0) {
            return 0;
        }
        for (int column = 1; column < 5; ++column) {
            LVITEMW cell = {};
            cell.iSubItem = column;
            cell.pszText = const_cast<wchar_t*>(texts[static_cast<std::size_t>(column)].c_str());
            SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&cell));
        }
        return 1;
    }

    HostWindow host;
    std::vector<HWND> lists;
};

struct IngestRun {
    double postingSeconds = 0;
    double lastRowSeconds = 0;
    double handlingSeconds = 0;   // the UI thread inside the found-file messages
    double longestGapSeconds = 0;
    double longestProbeWaitSeconds = 0;
    int peakQueuedFiles = 0;
    Memory baseline;
    Memory peak;   // each measure's own peak
    int rowsListed = 0;
    int messagesTaken = 0;
    bool complete = false;
};

using FindSource = FileInfo (*)(int n);

// Feeds the window from a second thread, as the worker does, and runs the program's message loop
// until the end message, timing what the window does.
IngestRun ingest(MainWindow& window, const ScanTarget& target, int files, FindSource find)
{
    IngestRun run;
    run.baseline = memoryNow();
    run.peak = run.baseline;
    const auto sampleMemory = [&run] {
        const Memory now = memoryNow();
        run.peak.privateBytes = std::max(run.peak.privateBytes, now.privateBytes);
        run.peak.workingSet = std::max(run.peak.workingSet, now.workingSet);
    };
    std::atomic<int> posted{0};
    std::atomic<int> handled{0};
    std::atomic<int> peakQueued{0};
    const Stopwatch watch;

    std::thread worker([&] {
        ScanReporter reporter(target);
        for (int n = 0; n < files; ++n) {
            reporter.onFileFound(find(n));
            const int waiting = posted.fetch_add(1) + 1 - handled.load();
            if (waiting > peakQueued.load()) {
                peakQueued.store(waiting);
            }
        }
        run.postingSeconds = watch.seconds();
        reporter.onScanReturned();
    });

    // The probe: a thread timer's message is taken only when nothing is posted, no input waits and
    // nothing needs painting, so its longest wait is the longest the window had no free moment.
    const UINT_PTR probe = SetTimer(nullptr, 0, probePeriodMs, nullptr);
    // A gap runs from taking one message to taking the next: the handling of the first and any
    // wait for the second.
    double lastTaken = watch.seconds();
    double lastProbe = lastTaken;
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        const double taken = watch.seconds();
        run.longestGapSeconds = std::max(run.longestGapSeconds, taken - lastTaken);
        lastTaken = taken;
        ++run.messagesTaken;
        if (msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == probe) {
            run.longestProbeWaitSeconds = std::max(run.longestProbeWaitSeconds, taken - lastProbe);
            lastProbe = taken;
            continue;
        }
        if (msg.hwnd == window.window() && msg.message == WM_SCAN_COMPLETE) {
            run.longestProbeWaitSeconds = std::max(run.longestProbeWaitSeconds, taken - lastProbe);
            run.complete = true;
            DispatchMessageW(&msg);   // the box "扫描完成！" is answered by the watcher
            break;
        }
        const bool foundFileMessage = msg.hwnd == window.window() && msg.message == WM_SCAN_FILE_FOUND;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (foundFileMessage) {
            const double handledAt = watch.seconds();
            run.handlingSeconds += handledAt - taken;
            const int count = handled.fetch_add(1) + 1;
            if (count == files) {
                run.lastRowSeconds = handledAt;
            }
            if (count % 1000 == 0) {
                sampleMemory();
            }
        }
    }
    KillTimer(nullptr, probe);
    worker.join();
    sampleMemory();
    run.peakQueuedFiles = peakQueued.load();
    for (int i = 0; i < listCount; ++i) {
        run.rowsListed += static_cast<int>(SendMessageW(GetDlgItem(window.window(), 200 + i), LVM_GETITEMCOUNT, 0, 0));
    }
    return run;
}

void chooseTab(HWND main, int tab)
{
    HWND tabs = GetDlgItem(main, 112);
    SendMessageW(tabs, TCM_SETCURSEL, tab, 0);
    NMHDR notice = {tabs, 112, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(main, WM_NOTIFY, 112, reinterpret_cast<LPARAM>(&notice));
    pumpMessages();
}

// One scan streamed into a new main window with the tab shown; false when the window could not be
// made.
bool ingestRound(int files, int tab, FindSource find, IngestRun& run)
{
    DialogWatcher dialogs([](const SeenDialog&) { return DialogAnswer{IDOK, {}}; });
    auto window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr));
    if (!window->create()) {
        printNote("the main window could not be created");
        return false;
    }
    pumpMessages();
    const ScanTarget target = MainWindowTestAccess::startScanWithoutWorker(*window);
    if (tab != 0) {
        chooseTab(window->window(), tab);
    }
    pumpMessages();

    run = ingest(*window, target, files, find);
    dialogs.waitForDialogs(1);
    pumpMessages();
    DestroyWindow(window->window());
    pumpMessages();
    return true;
}

// The documents tab holding its one row while the rest of the scan streams in, against "全部" shown.
int compareOneRowTab(int files)
{
    IngestRun allShown;
    IngestRun oneRowShown;
    if (!ingestRound(files, 0, oneDocumentThenText, allShown) ||
        !ingestRound(files, documentsTab, oneDocumentThenText, oneRowShown)) {
        return 1;
    }
    const int expectedRows = 2 * files;   // every file under "全部", and each in its category's list
    if (!allShown.complete || !oneRowShown.complete || allShown.rowsListed != expectedRows ||
        oneRowShown.rowsListed != expectedRows) {
        char note[160];
        std::snprintf(note, sizeof note, "the windows listed %d and %d rows of %d", allShown.rowsListed,
                      oneRowShown.rowsListed, expectedRows);
        printNote(note);
        return 1;
    }

    char what[80];
    std::snprintf(what, sizeof what, "one-row tab shown, %d files: last row listed", files);
    printFigure(what, oneRowShown.lastRowSeconds, "\"全部\" shown", allShown.lastRowSeconds, "s", "<= 1.2");
    printFigure("one-row tab shown: UI thread in found-file messages", oneRowShown.handlingSeconds,
                "\"全部\" shown", allShown.handlingSeconds, "s", "-");
    char note[240];
    std::snprintf(note, sizeof note,
                  "one document, then %d text files; posting took %.3f s (\"全部\") and %.3f s (one-row tab); "
                  "one round each",
                  files - 1, allShown.postingSeconds, oneRowShown.postingSeconds);
    printNote(note);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // What the program sets up before its window exists.
    GdiplusSession gdiplus;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX icex = {sizeof(icex), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icex);

    if (argc > 1 && std::string(argv[1]) == "one-row") {
        return compareOneRowTab(argc > 2 ? std::max(2, std::atoi(argv[2])) : defaultOneRowFiles);
    }

    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : defaultFiles;
    const int tab = argc > 2 ? std::clamp(std::atoi(argv[2]), 0, 8) : 0;

    // The reference lists stay filled while the window runs, so that the window's rows cannot
    // reuse memory they gave back.
    BareLists bare;
    const Memory bareBaseline = memoryNow();
    const Stopwatch bareWatch;
    const int bareRows = bare.fill(files);
    const double bareSeconds = bareWatch.seconds();
    const Memory bareFilled = memoryNow();
    bare.putAway();

    IngestRun run;
    if (!ingestRound(files, tab, foundFile, run)) {
        return 1;
    }
    if (!run.complete || run.rowsListed != bareRows) {
        char note[160];
        std::snprintf(note, sizeof note, "the window listed %d rows of %d", run.rowsListed, bareRows);
        printNote(note);
        return 1;
    }

    char what[80];
    std::snprintf(what, sizeof what, "window ingest, %d files: last row listed", files);
    printFigure(what, run.lastRowSeconds, "posting at the worker's pace", run.postingSeconds, "s", "~ 1: keeps up");
    printFigure("UI thread in the found-file messages", run.handlingSeconds, "bare lists, redraw held off", bareSeconds,
                "s", "-");
    printFigure("peak found files waiting in the queue", run.peakQueuedFiles, "Windows' queue limit", windowsQueueLimit,
                "msgs", "< 1: bounded");
    const double rows = run.rowsListed;
    printFigure("peak private bytes per listed row", (run.peak.privateBytes - run.baseline.privateBytes) / rows,
                "bare lists, per row", (bareFilled.privateBytes - bareBaseline.privateBytes) / rows, "B", "-");
    printFigure("peak working set per listed row", (run.peak.workingSet - run.baseline.workingSet) / rows,
                "bare lists, per row", (bareFilled.workingSet - bareBaseline.workingSet) / rows, "B", "-");
    printFigure("longest gap between two messages taken", run.longestGapSeconds * 1000, "a delay users notice",
                noticeableDelaySeconds * 1000, "ms", "< 1: responsive");
    printFigure("longest wait of a 10 ms timer (comes last)", run.longestProbeWaitSeconds * 1000,
                "a delay users notice", noticeableDelaySeconds * 1000, "ms", "< 1: responsive");
    char note[240];
    std::snprintf(note, sizeof note,
                  "%d rows listed from %d files with tab %d selected, %d messages taken; at most %d files wait "
                  "in the queue; one round",
                  run.rowsListed, files, tab, run.messagesTaken, maxQueuedFiles);
    printNote(note);
    return 0;
}
