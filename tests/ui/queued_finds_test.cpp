#include "results_window_test.h"
#include "scan_messages.h"
#include "scan_reporter.h"

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
    ~ReportingThread() { join(); }
    ReportingThread(const ReportingThread&) = delete;
    ReportingThread& operator=(const ReportingThread&) = delete;

    void join()
    {
        if (thread.joinable()) {
            thread.join();
        }
    }

    // Waits until the count reaches `count`, then a while longer: true when it stayed there.
    bool settlesAt(int count) const
    {
        const ULONGLONG deadline = GetTickCount64() + 30000;
        while (reported.load() < count && GetTickCount64() < deadline) {
            Sleep(5);
        }
        Sleep(200);
        return reported.load() == count;
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

    // Nothing is taken from the queue meanwhile: the worker waits once the bound is reached.
    EXPECT_TRUE(worker.settlesAt(maxQueuedFiles));
    ASSERT_TRUE(pumpUntil([&] { return rows(0) == finds; }));
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
    ASSERT_TRUE(worker.settlesAt(maxQueuedFiles));

    // What the window sets while it joins the worker, for instance when it is closed mid-scan.
    target.postsAbandoned->store(true);
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
    EXPECT_TRUE(pumpUntil([&] { return rowDrawn(2, lastShown); }, 5000));

    // Back to the first tab: its list shows, with the rows it was given while hidden.
    chooseTab(0);
    EXPECT_TRUE(IsWindowVisible(list(0)));
    EXPECT_FALSE(IsWindowVisible(list(2)));
    EXPECT_TRUE(pumpUntil([&] { return rowDrawn(0, lastShown); }, 5000));
}
