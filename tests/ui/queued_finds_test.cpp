#include "results_window_test.h"
#include "scan_messages.h"
#include "scan_reporter.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

namespace {

FileInfo numberedFind(int n, const char* fileType)
{
    FileInfo file;
    file.name = "find" + std::to_string(n) + ".dat";
    file.fileType = fileType;
    return file;
}

// A worker that reports `count` finds as the scan worker does, counting what it has reported.
// Ended whatever the outcome: a worker still waiting for room is let go as the window lets it go
// when it joins one.
class ReportingThread {
public:
    ReportingThread(const ScanTarget& target, int count)
        : target(target), thread([this, count] {
              ScanReporter reporter(this->target);
              for (int n = 0; n < count; ++n) {
                  reporter.onFileFound(numberedFind(n, "image"));
                  ++reported;
              }
          })
    {
    }
    ~ReportingThread()
    {
        if (thread.joinable()) {
            const bool abandoned = target.postsAbandoned->exchange(true);
            thread.join();
            target.postsAbandoned->store(abandoned);
        }
    }
    ReportingThread(const ReportingThread&) = delete;
    ReportingThread& operator=(const ReportingThread&) = delete;

    void join()
    {
        if (thread.joinable()) {
            thread.join();
        }
    }

    // Waits, handling nothing, until at least `count` finds were reported; false on time-out.
    bool reaches(int count) const
    {
        const ULONGLONG deadline = GetTickCount64() + 30000;
        while (reported.load() < count) {
            if (GetTickCount64() > deadline) {
                return false;
            }
            Sleep(1);
        }
        return true;
    }

    std::atomic<int> reported{0};

private:
    const ScanTarget target;
    std::thread thread;
};

// The scan is started as the Scan button starts one, but the test plays the worker.
class QueuedFindsTest : public ResultsWindowTest {
protected:
    void SetUp() override
    {
        ResultsWindowTest::SetUp();
        target = MainWindowTestAccess::startScanWithoutWorker(*window);
    }

    // Takes one queued found file and lets the window list it; false when none is queued.
    bool listOneQueuedFind()
    {
        MSG msg;
        if (!PeekMessageW(&msg, main, WM_SCAN_FILE_FOUND, WM_SCAN_FILE_FOUND, PM_REMOVE)) {
            return false;
        }
        DispatchMessageW(&msg);
        return true;
    }

    // True when the row's name cell shows dark pixels: its text has been drawn.
    bool rowDrawn(int tab, int row) const
    {
        RECT label = {};
        label.left = LVIR_LABEL;
        SendMessageW(list(tab), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label));
        for (int y = label.top + 2; y < label.bottom - 2; ++y) {
            for (int x = label.left + 2; x < label.right - 2; ++x) {
                const COLORREF pixel = windowPixel(list(tab), x, y);
                if (GetRValue(pixel) < 128 && GetGValue(pixel) < 128 && GetBValue(pixel) < 128) {
                    return true;
                }
            }
        }
        return false;
    }

    ScanTarget target;
};

} // namespace

TEST_F(QueuedFindsTest, FindsReportedFasterThanTheyAreListedWaitAtTheBoundAndAllArriveInOrder)
{
    chooseTab(3);   // a hidden list: Wine draws a shown list view slowly
    const int finds = maxQueuedFiles + 150;
    ReportingThread worker(target, finds);

    // The window takes one find at a time, and only once the worker has filled the queue up to the
    // bound again (or reported everything): at no point does it report more than the bound beyond
    // what the window has listed, and each listed find lets exactly one more through.
    for (int listed = 0; listed < finds; ++listed) {
        ASSERT_EQ(rows(0), listed);
        ASSERT_TRUE(worker.reaches(std::min(finds, listed + maxQueuedFiles))) << listed;
        ASSERT_EQ(worker.reported.load(), std::min(finds, listed + maxQueuedFiles)) << listed;
        ASSERT_TRUE(listOneQueuedFind()) << listed;   // the worker posts a find before it counts it
    }
    worker.join();
    pumpMessages();
    EXPECT_EQ(worker.reported.load(), finds);
    ASSERT_EQ(rows(0), finds);
    ASSERT_EQ(rows(2), finds);
    for (const int row : {0, maxQueuedFiles - 1, maxQueuedFiles, finds - 1}) {
        EXPECT_EQ(cell(0, row, 0), L"find" + std::to_wstring(row) + L".dat");
    }
}

TEST_F(QueuedFindsTest, AWorkerWaitingForRoomGoesOnOnceTheWindowWaitsForIt)
{
    ReportingThread worker(target, maxQueuedFiles + 10);
    // With nothing taken from the queue, the worker cannot pass the bound: from here it waits.
    ASSERT_TRUE(worker.reaches(maxQueuedFiles));
    ASSERT_EQ(worker.reported.load(), maxQueuedFiles);

    // What the window sets while it joins the worker, for instance when it is closed mid-scan.
    target.postsAbandoned->store(true);
    EXPECT_TRUE(worker.reaches(maxQueuedFiles + 10));
    worker.join();
    target.postsAbandoned->store(false);
    EXPECT_EQ(worker.reported.load(), maxQueuedFiles + 10);
}

TEST_F(QueuedFindsTest, ARunOfQueuedFindsIsDrawnOnceThroughAndOnlyTheChosenTabsListShows)
{
    const int finds = 120;
    for (int n = 0; n < finds; ++n) {
        ASSERT_TRUE(postFoundFile(main, std::make_unique<FileInfo>(numberedFind(n, n % 2 ? "image" : "text")),
                                  target.queuedFiles, *target.postsAbandoned));
    }

    // Half way through the run the user picks the pictures tab.
    ASSERT_TRUE(pumpUntil([&] { return rows(0) == finds / 2; }));
    chooseTab(2);
    ASSERT_TRUE(pumpUntil([&] { return rows(0) == finds; }));

    EXPECT_TRUE(IsWindowVisible(list(2)));
    for (const int tab : {0, 1, 3, 4, 5, 6, 7, 8}) {
        EXPECT_FALSE(IsWindowVisible(list(tab))) << tab;
    }
    EXPECT_EQ(rows(2), finds / 2);
    EXPECT_EQ(rows(7), finds / 2);
    EXPECT_EQ(cell(2, finds / 2 - 1, 0), L"find" + std::to_wstring(finds - 1) + L".dat");
    // Rows beyond the first screenful came in held; the list draws them once the run is through.
    const int lastShown = static_cast<int>(SendMessageW(list(2), LVM_GETCOUNTPERPAGE, 0, 0)) - 1;
    ASSERT_GT(lastShown, 1);
    EXPECT_TRUE(pumpUntil([&] { return rowDrawn(2, lastShown); }));

    // Back to the first tab: its list shows, with the rows it was given while hidden.
    chooseTab(0);
    EXPECT_TRUE(IsWindowVisible(list(0)));
    EXPECT_FALSE(IsWindowVisible(list(2)));
    EXPECT_TRUE(pumpUntil([&] { return rowDrawn(0, lastShown); }));
}
