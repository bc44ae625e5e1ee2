#include "dialog_watcher.h"
#include "main_window.h"
#include "main_window_test_access.h"
#include "progress_mode.h"
#include "scan_messages.h"
#include "stream_capture.h"
#include "temp_folder.h"
#include "text_encoding.h"
#include "volume_geometry.h"
#include "window_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

std::wstring textOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Whether the volume of a location answers its geometry, asked without the engine.
bool volumeHasATotal(const std::wstring& location)
{
    return volumeGeometry(location[0]).has_value();
}

// What passes by the window while a scan runs: the status texts set, the worker messages taken
// from the queue and the marquee starts of the bar.
struct Recording {
    HWND main = nullptr;
    HWND status = nullptr;
    HWND bar = nullptr;
    std::vector<std::wstring> statusTexts;
    std::vector<std::pair<UINT, WPARAM>> scanMessages;
    std::vector<WPARAM> barPositions;
    int marqueeStarts = 0;
};
Recording* recording = nullptr;

LRESULT CALLBACK recordSent(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && recording) {
        if (sent->hwnd == recording->status && sent->message == WM_SETTEXT) {
            recording->statusTexts.emplace_back(reinterpret_cast<const wchar_t*>(sent->lParam));
        } else if (sent->hwnd == recording->bar && sent->message == PBM_SETMARQUEE && sent->wParam) {
            ++recording->marqueeStarts;
        } else if (sent->hwnd == recording->bar && sent->message == PBM_SETPOS) {
            recording->barPositions.push_back(sent->wParam);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK recordPosted(int code, WPARAM removal, LPARAM lParam)
{
    const auto* posted = reinterpret_cast<const MSG*>(lParam);
    if (code >= 0 && recording && removal == PM_REMOVE && posted->hwnd == recording->main &&
        ((posted->message >= WM_SCAN_FILE_FOUND && posted->message <= WM_SCAN_ERROR_TEXT) ||
         posted->message == WM_SCAN_PROGRESS_MODE)) {
        recording->scanMessages.emplace_back(posted->message, posted->wParam);
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

class ScanWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        largeTree = new TempFolder;
        writeQueueFillingTree(*largeTree);
    }
    static void TearDownTestSuite()
    {
        delete largeTree;
        largeTree = nullptr;
    }

    void SetUp() override
    {
        lastIndeterminate.store(false);   // as at program start
        window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr));
        main = window->create();
        ASSERT_NE(main, nullptr);
        pumpMessages();
        record.main = main;
        record.status = item(118);
        record.bar = item(105);
        recording = &record;
        sentHook = SetWindowsHookExW(WH_CALLWNDPROC, recordSent, nullptr, GetCurrentThreadId());
        postedHook = SetWindowsHookExW(WH_GETMESSAGE, recordPosted, nullptr, GetCurrentThreadId());
    }

    void TearDown() override
    {
        UnhookWindowsHookEx(sentHook);
        UnhookWindowsHookEx(postedHook);
        recording = nullptr;
        if (IsWindow(main)) {
            DestroyWindow(main);
        }
        pumpMessages();
        window.reset();
    }

    HWND item(int id) const { return GetDlgItem(main, id); }
    void press() { SendMessageW(main, WM_COMMAND, MAKEWPARAM(104, BN_CLICKED), reinterpret_cast<LPARAM>(item(104))); }
    void scanFrom(const std::wstring& location)
    {
        SetWindowTextW(item(101), location.c_str());
        press();
    }
    // As a click on the tab does: the selection, then its notice.
    void chooseTab(int tab)
    {
        SendMessageW(item(112), TCM_SETCURSEL, tab, 0);
        NMHDR notice = {item(112), 112, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(main, WM_NOTIFY, 112, reinterpret_cast<LPARAM>(&notice));
    }
    void chooseScenario(int selection) { SendMessageW(item(102), CB_SETCURSEL, selection, 0); }
    std::wstring status() const { return textOf(item(118)); }
    bool pumpUntilStatus(const std::wstring& text, DWORD timeoutMs = 30000)
    {
        return pumpUntil([&] { return status() == text; }, timeoutMs);
    }
    // Scans to its end and closes the completion box.
    bool scanToEnd(const std::wstring& location)
    {
        const size_t boxes = dialogs.dialogs().size();
        scanFrom(location);
        return pumpUntilStatus(L"扫描完成！") && dialogs.waitForDialogs(boxes + 1);
    }
    // Every message queued is handled first, and the worker has been joined by the end of a scan,
    // so a box shown for anything that happened would be on record by now.
    bool noBoxShown()
    {
        pumpMessages();
        return dialogs.dialogs().empty();
    }
    // Waits, handling nothing, until the worker of a scan of the large tree waits at the bound.
    bool workerHeldAtTheBound() const
    {
        const ULONGLONG deadline = GetTickCount64() + 30000;
        while (MainWindowTestAccess::queuedFiles(*window) < maxQueuedFiles) {
            if (GetTickCount64() > deadline) {
                return false;
            }
            Sleep(5);
        }
        return MainWindowTestAccess::isScanning(*window);
    }

    int rows(int list) const { return listRowCount(item(200 + list)); }
    std::wstring cell(int list, int row, int column) const { return listCell(item(200 + list), row, column); }
    int rowNamed(int list, const std::wstring& name) const { return listRowNamed(item(200 + list), name); }
    std::wstring tabTitle(int tab) const { return ::tabTitle(item(112), tab); }
    bool barIsMarquee() const { return (GetWindowLongW(item(105), GWL_STYLE) & PBS_MARQUEE) != 0; }
    int messagesOf(UINT message, WPARAM wParam) const
    {
        return static_cast<int>(std::count(record.scanMessages.begin(), record.scanMessages.end(),
                                           std::make_pair(message, wParam)));
    }

    static TempFolder* largeTree;
    DialogWatcher dialogs{[](const SeenDialog&) { return DialogAnswer{IDOK, {}}; }};
    std::unique_ptr<MainWindow> window;
    HWND main = nullptr;
    Recording record;
    HHOOK sentHook = nullptr;
    HHOOK postedHook = nullptr;
};

TempFolder* ScanWindowTest::largeTree = nullptr;

} // namespace

TEST_F(ScanWindowTest, ScansAFolderIntoTheListsWithCountsSizesAndStatusTexts)
{
    TempFolder folder;
    folder.writeFile(L"report.doc", std::string(1536, 'd'));
    folder.writeFile(L"photo.jpg");
    folder.writeFile(L"clip.mp4", std::string(1048576, 'v'));
    folder.writeFile(L"song.mp3", std::string(1023, 'a'));
    folder.writeFile(L"mail.eml", "m");
    folder.writeFile(L"sub\\pack.zip", "z");
    folder.writeFile(L"notes.txt", "t");
    folder.writeFile(L"data.xyz", "x");

    scanFrom(folder.path());
    // Reset before the worker's first message is handled.
    EXPECT_EQ(status(), L"正在准备扫描...");
    EXPECT_TRUE(IsWindowVisible(item(105)));
    EXPECT_TRUE(IsWindowEnabled(item(104)));
    EXPECT_TRUE(IsWindowVisible(item(200)));
    EXPECT_EQ(SendMessageW(item(112), TCM_GETCURSEL, 0, 0), 0);

    ASSERT_TRUE(pumpUntilStatus(L"扫描完成！"));
    ASSERT_TRUE(dialogs.waitForDialogs(1));
    EXPECT_EQ(dialogs.dialogs()[0].caption, L"信息");
    EXPECT_EQ(dialogs.dialogs()[0].text, L"扫描完成！");

    EXPECT_EQ(rows(0), 8);
    for (int list = 1; list <= 7; ++list) {
        EXPECT_EQ(rows(list), 1) << list;
    }
    EXPECT_EQ(rows(8), 0);
    EXPECT_GE(rowNamed(0, L"data.xyz"), 0);   // "other" is listed under all files only

    const int report = rowNamed(1, L"report.doc");
    ASSERT_EQ(report, 0);
    EXPECT_EQ(cell(1, report, 1), L"1.50 KB");
    EXPECT_EQ(cell(1, report, 2), L"document");
    EXPECT_EQ(cell(1, report, 3), L"recoverable");
    // The typed location was given a trailing separator, and records join it to the name with one more.
    EXPECT_EQ(cell(1, report, 4), folder.path() + L"\\\\report.doc");
    EXPECT_EQ(cell(0, rowNamed(0, L"clip.mp4"), 1), L"1.00 MB");
    EXPECT_EQ(cell(0, rowNamed(0, L"song.mp3"), 1), L"1023 B");
    EXPECT_EQ(cell(0, rowNamed(0, L"photo.jpg"), 1), L"0 B");
    EXPECT_EQ(cell(6, 0, 4), folder.path() + L"\\\\sub\\pack.zip");

    // Each row carries its own copy of the record.
    LVITEMW data = {};
    data.mask = LVIF_PARAM;
    data.iItem = report;
    ASSERT_TRUE(SendMessageW(item(201), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)));
    const auto* copy = reinterpret_cast<const FileInfo*>(data.lParam);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->path, *toNarrow(folder.path() + L"\\\\report.doc"));
    EXPECT_EQ(copy->size, 1536u);

    const std::vector<std::wstring> titles = {L"全部 (8)", L"文档 (1)", L"图片 (1)", L"视频 (1)", L"音频 (1)",
                                              L"邮件 (1)", L"压缩包 (1)", L"文本 (1)", L"搜索"};
    for (int tab = 0; tab < 9; ++tab) {
        EXPECT_EQ(tabTitle(tab), titles[tab]);
    }

    const auto& texts = record.statusTexts;
    ASSERT_GE(texts.size(), 5u);
    EXPECT_EQ(texts[0], L"正在准备扫描...");
    EXPECT_EQ(texts[1], L"正在扫描设备: " + folder.path() + L"\\");
    EXPECT_TRUE(texts[2].starts_with(L"正在扫描: ")) << texts[2];
    EXPECT_EQ(texts[texts.size() - 2], L"扫描完成！共找到 8 个文件。");
    EXPECT_EQ(texts.back(), L"扫描完成！");
    EXPECT_FALSE(IsWindowVisible(item(105)));
    EXPECT_TRUE(IsWindowEnabled(item(104)));
    EXPECT_TRUE(IsWindowVisible(item(200)));
}

TEST_F(ScanWindowTest, InputChecksRefuseWithABoxAndLeaveTheWindowAsItWas)
{
    TempFolder folder;

    SendMessageW(item(101), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    scanFrom(L"");
    scanFrom(folder.pathOf(L"missing"));
    scanFrom(L" " + folder.path());   // blanks are part of the path
    scanFrom(L"assets\\start.png");   // a file, relative to the working folder

    ASSERT_TRUE(dialogs.waitForDialogs(4));
    const auto boxes = dialogs.dialogs();
    for (const SeenDialog& box : boxes) {
        EXPECT_EQ(box.caption, L"错误");
    }
    EXPECT_EQ(boxes[0].text, L"请选择一个有效的设备路径");
    EXPECT_EQ(boxes[1].text, L"指定的路径不存在或无法访问，请检查路径是否正确。");
    EXPECT_EQ(boxes[2].text, L"指定的路径不存在或无法访问，请检查路径是否正确。");
    EXPECT_EQ(boxes[3].text, L"指定的路径不是有效的目录，请选择一个有效的驱动器或目录。");
    EXPECT_EQ(status(), L" 准备就绪");
    EXPECT_FALSE(IsWindowVisible(item(105)));
    EXPECT_TRUE(record.scanMessages.empty());
}

TEST_F(ScanWindowTest, HandsTheEngineTheNormalisedLocationScenarioAndCategories)
{
    TempFolder folder(besideTestProgram(L""));
    folder.writeFile(L"a.txt");
    std::wstring typed = folder.path();
    std::replace(typed.begin(), typed.end(), L'\\', L'/');
    const std::string start = "开始扫描设备: " + *toNarrow(folder.path()) + "\\, 场景: ";

    StreamCapture capture;
    ASSERT_TRUE(scanToEnd(typed));
    SendMessageW(item(2001), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(item(2007), BM_SETCHECK, BST_CHECKED, 0);
    chooseScenario(2);
    ASSERT_TRUE(scanToEnd(typed));
    chooseScenario(-1);
    ASSERT_TRUE(scanToEnd(typed));

    std::vector<std::string> startLines;
    for (const std::string& line : capture.outLines()) {
        if (line.starts_with("开始扫描设备: ")) {
            startLines.push_back(line);
        }
    }
    EXPECT_EQ(startLines, (std::vector<std::string>{
                              start + "accidental_deletion, 文件类型: document image video audio email archive other text ",
                              start + "format, 文件类型: image text ",
                              start + ", 文件类型: image text ",
                          }));
    // The comprehensive scan walks three times and every report is listed.
    EXPECT_EQ(rows(0), 3);
    EXPECT_EQ(tabTitle(7), L"文本 (3)");
}

TEST_F(ScanWindowTest, TheDepthBoxLimitsTheFolderLevelsAndEachSummaryShowsTrueCounts)
{
    TempFolder folder;
    std::wstring level;
    for (int depth = 0; depth <= 11; ++depth) {
        folder.writeFile(level + L"f" + std::to_wstring(depth) + L".txt");
        level += L"d" + std::to_wstring(depth + 1) + L"\\";
    }
    // Scans end within moments of each other: the final titles must not wait out the 500 ms rule.
    for (const auto& [selection, files] : std::vector<std::pair<int, int>>{{0, 4}, {3, 11}, {2, 6}, {-1, 4}}) {
        SCOPED_TRACE(selection);
        SendMessageW(item(108), CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
        ASSERT_TRUE(scanToEnd(folder.path()));
        EXPECT_EQ(rows(0), files);
        EXPECT_EQ(tabTitle(0), L"全部 (" + std::to_wstring(files) + L")");
        EXPECT_EQ(tabTitle(7), L"文本 (" + std::to_wstring(files) + L")");
        EXPECT_EQ(record.statusTexts[record.statusTexts.size() - 2],
                  L"扫描完成！共找到 " + std::to_wstring(files) + L" 个文件。");
    }
}

TEST_F(ScanWindowTest, AVolumeWithATotalShowsPositionsOnlyWhenTheyChange)
{
    TempFolder folder;
    for (int i = 0; i < 30; ++i) {
        folder.writeFile(L"f" + std::to_wstring(i) + L".txt");
    }
    if (!volumeHasATotal(folder.path())) {
        GTEST_SKIP() << "needs a volume that answers its geometry";
    }
    StreamCapture capture;
    ASSERT_TRUE(scanToEnd(folder.path()));

    EXPECT_EQ(record.marqueeStarts, 0);
    EXPECT_FALSE(barIsMarquee());
    std::vector<WPARAM> values;
    for (const auto& [message, wParam] : record.scanMessages) {
        if (message == WM_SCAN_PROGRESS) {
            values.push_back(wParam);
        }
    }
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(std::adjacent_find(values.begin(), values.end()), values.end());
    // Start, the worker's positions and the end each reach the bar.
    const auto lines = capture.outLines();
    EXPECT_EQ(static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                                 [](const std::string& line) { return line.starts_with("progress: "); })),
              values.size() + 2);
}

TEST_F(ScanWindowTest, AVolumeWithoutATotalRunsTheBarAsMarqueeInEveryScan)
{
    TempFolder folder(besideTestProgram(L""));
    folder.writeFile(L"a.txt");
    folder.writeFile(L"b.txt");
    if (volumeHasATotal(folder.path())) {
        GTEST_SKIP() << "needs a volume that answers no geometry";
    }
    for (int scan = 1; scan <= 2; ++scan) {
        ASSERT_TRUE(scanToEnd(folder.path()));
        // The end handler switched back to normal, so the next scan asks for marquee again.
        EXPECT_EQ(messagesOf(WM_SCAN_PROGRESS_MODE, TRUE), scan);
        EXPECT_EQ(record.marqueeStarts, scan);
        EXPECT_FALSE(barIsMarquee());
        EXPECT_FALSE(lastIndeterminate.load());
    }
    EXPECT_EQ(std::count_if(record.scanMessages.begin(), record.scanMessages.end(),
                            [](const auto& posted) { return posted.first == WM_SCAN_PROGRESS; }),
              0);
}

TEST_F(ScanWindowTest, PositionsReachTheBarOnlyInNormalMode)
{
    StreamCapture capture;
    SendMessageW(main, WM_SCAN_PROGRESS, 2500, 0);
    EXPECT_EQ(SendMessageW(item(105), PBM_GETPOS, 0, 0), 2500);
    EXPECT_EQ(SendMessageW(item(105), PBM_GETRANGE, FALSE, 0), 10000);

    SendMessageW(main, WM_SCAN_PROGRESS_MODE, TRUE, 0);
    EXPECT_TRUE(barIsMarquee());
    EXPECT_TRUE(lastIndeterminate.load());
    SendMessageW(main, WM_SCAN_PROGRESS, 7000, reinterpret_cast<LPARAM>(new std::wstring(L"still shown")));
    EXPECT_EQ(status(), L"still shown");
    SendMessageW(main, WM_SCAN_PROGRESS_MODE, FALSE, 0);
    EXPECT_FALSE(barIsMarquee());
    // The position given in marquee mode never reached the bar.
    EXPECT_EQ(record.barPositions, std::vector<WPARAM>{2500});
    EXPECT_EQ(capture.outLines(), std::vector<std::string>{"progress: 2500"});
}

TEST_F(ScanWindowTest, FilesGoToAllFilesAndTheirCategoryAndTabsShowTheirListOrPicture)
{
    const auto views = [&] {
        std::vector<HWND> found;
        for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            if (std::wstring(name) == L"EmptyStateViewClass" && IsWindowVisible(child)) {
                found.push_back(child);
            }
        }
        return found;
    };
    const auto send = [&](const char* name, const char* fileType) {
        auto* file = new FileInfo;
        file->name = name;
        file->fileType = fileType;
        SendMessageW(main, WM_SCAN_FILE_FOUND, 0, reinterpret_cast<LPARAM>(file));
    };
    ASSERT_EQ(views().size(), 1u);
    EXPECT_FALSE(IsWindowVisible(item(200)));

    send("a.txt", "text");
    EXPECT_TRUE(views().empty());   // the first row takes the picture's place
    EXPECT_TRUE(IsWindowVisible(item(200)));
    send("b.bin", "other");
    send("c", "unknown");
    send("d.exe", "executable");
    send("e.jpg", "image");
    send("f.txt", "Text");   // keywords are exact
    SendMessageW(main, WM_SCAN_FILE_FOUND, 0, 0);
    SendMessageW(main, WM_SCAN_STATUS, 0, 0);

    EXPECT_EQ(rows(0), 6);
    EXPECT_EQ(rows(7), 1);
    EXPECT_EQ(rows(2), 1);
    EXPECT_EQ(rows(1) + rows(3) + rows(4) + rows(5) + rows(6) + rows(8), 0);
    EXPECT_EQ(cell(0, 2, 1), L"0 B");
    EXPECT_EQ(cell(0, 2, 3), L"unknown");

    SendMessageW(main, WM_SCAN_SUMMARY, 6, 0);
    EXPECT_EQ(status(), L"扫描完成！共找到 6 个文件。");
    EXPECT_EQ(tabTitle(0), L"全部 (6)");
    EXPECT_EQ(tabTitle(2), L"图片 (1)");
    EXPECT_EQ(tabTitle(3), L"视频 (0)");
    EXPECT_EQ(tabTitle(8), L"搜索");

    chooseTab(7);
    EXPECT_TRUE(IsWindowVisible(item(207)));
    EXPECT_FALSE(IsWindowVisible(item(200)));
    EXPECT_TRUE(views().empty());
    EXPECT_EQ(MainWindowTestAccess::currentList(*window), item(207));
    chooseTab(3);
    EXPECT_FALSE(IsWindowVisible(item(203)));
    EXPECT_FALSE(IsWindowVisible(item(207)));
    EXPECT_EQ(views().size(), 1u);
    EXPECT_EQ(MainWindowTestAccess::currentList(*window), item(203));
}

TEST_F(ScanWindowTest, ASecondPressStopsTheScanAndLeavesTrueCounts)
{
    chooseScenario(-1);
    scanFrom(largeTree->path());
    // Rows go to a hidden list: Wine repaints a visible list view on every insertion.
    chooseTab(3);
    ASSERT_TRUE(workerHeldAtTheBound());
    press();
    EXPECT_EQ(status(), L"正在停止扫描...");
    EXPECT_FALSE(IsWindowEnabled(item(104)));
    EXPECT_FALSE(IsWindowVisible(item(105)));

    // The thousand finds queued before the stop are listed first.
    ASSERT_TRUE(pumpUntilStatus(L"扫描已停止", 120000));
    EXPECT_TRUE(IsWindowEnabled(item(104)));
    EXPECT_FALSE(IsWindowVisible(item(105)));
    // What was queued when the stop came, and at most the one find the worker was posting.
    const int kept = rows(0);
    EXPECT_LE(kept, maxQueuedFiles + 1);
    EXPECT_EQ(tabTitle(0), L"全部 (" + std::to_wstring(kept) + L")");
    EXPECT_TRUE(noBoxShown());
    pumpMessages();
    EXPECT_EQ(rows(0), kept);
    EXPECT_TRUE(std::none_of(record.scanMessages.begin(), record.scanMessages.end(),
                             [](const auto& posted) { return posted.first == WM_SCAN_SUMMARY; }));
}

TEST_F(ScanWindowTest, ClosingTheWindowMidScanStopsAndJoinsTheWorker)
{
    StreamCapture capture;
    chooseScenario(-1);
    scanFrom(largeTree->path());
    ASSERT_TRUE(workerHeldAtTheBound());

    DestroyWindow(main);

    EXPECT_FALSE(IsWindow(main));
    const auto lines = capture.outLines();
    EXPECT_GE(countOf(lines, "收到停止请求，退出扫描"), 1u);
    EXPECT_EQ(countOf(lines, "扫描完成"), 1u);   // the engine had returned before the window was gone
    MSG quit = {};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(ScanWindowTest, PressingScanWhileTheLastScansMessagesAreQueuedStartsACleanScan)
{
    TempFolder first;
    for (int i = 0; i < 25; ++i) {
        first.writeFile(L"old" + std::to_wstring(i) + L".txt");
    }
    TempFolder second;
    for (int i = 0; i < 7; ++i) {
        second.writeFile(L"new" + std::to_wstring(i) + L".jpg");
    }

    scanFrom(first.path());
    // Nothing is handled until the first worker has posted its end: then it no longer counts as
    // scanning while all of its messages still wait in the queue.
    ASSERT_TRUE(waitUntilQueued(main, WM_SCAN_COMPLETE));
    scanFrom(second.path());

    ASSERT_TRUE(pumpUntilStatus(L"扫描完成！"));
    ASSERT_TRUE(dialogs.waitForDialogs(1));
    pumpMessages();
    EXPECT_EQ(dialogs.dialogs().size(), 1u);
    EXPECT_EQ(rows(0), 7);
    EXPECT_EQ(rows(2), 7);
    EXPECT_EQ(rows(7), 0);
    EXPECT_EQ(tabTitle(0), L"全部 (7)");
    EXPECT_TRUE(IsWindowEnabled(item(104)));
}

TEST_F(ScanWindowTest, AFailingScanShowsOnlyItsStatusText)
{
    MainWindowTestAccess::failEngineStartUp(*window);
    TempFolder folder;
    StreamCapture capture;

    scanFrom(folder.path());
    ASSERT_TRUE(pumpUntilStatus(L"扫描失败"));

    EXPECT_TRUE(noBoxShown());
    EXPECT_TRUE(IsWindowEnabled(item(104)));
    EXPECT_FALSE(IsWindowVisible(item(105)));
    EXPECT_EQ(countOf(capture.outLines(), "扫描设备时发生异常: 恢复引擎尚未初始化"), 1u);
    EXPECT_EQ(messagesOf(WM_SCAN_ERROR, 0), 1);
}
