#include "elevation.h"
#include "progress_mode.h"
#include "scan_messages.h"
#include "scan_worker.h"
#include "stream_capture.h"
#include "temp_folder.h"
#include "volume_geometry.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The scan messages a worker posted to a window, taken from the queue in order; frees their
// payloads when done with.
class PostedMessages {
public:
    explicit PostedMessages(HWND window)
    {
        MSG msg;
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
            if ((msg.message >= WM_SCAN_FILE_FOUND && msg.message <= WM_SCAN_ERROR_TEXT) ||
                msg.message == WM_SCAN_PROGRESS_MODE) {
                all.push_back({msg.message, msg.wParam, msg.lParam});
            }
        }
    }
    ~PostedMessages()
    {
        for (const Posted& posted : all) {
            freeScanPayload(posted.message, posted.lParam);
        }
    }
    PostedMessages(const PostedMessages&) = delete;
    PostedMessages& operator=(const PostedMessages&) = delete;

    std::vector<Posted> of(UINT message) const
    {
        std::vector<Posted> found;
        std::copy_if(all.begin(), all.end(), std::back_inserter(found),
                     [message](const Posted& posted) { return posted.message == message; });
        return found;
    }
    std::vector<std::wstring> statusLines() const
    {
        std::vector<std::wstring> lines;
        for (const Posted& posted : of(WM_SCAN_STATUS)) {
            lines.push_back(*reinterpret_cast<const std::wstring*>(posted.lParam));
        }
        return lines;
    }

    std::vector<Posted> all;
};

const std::vector<std::string> everyCategory = {"document", "image", "video", "audio",
                                                "email",    "archive", "other", "text"};

// The sector total of the location's volume from its own geometry answer, asked without the engine;
// 0 when it answers none.
std::uint64_t volumeTotal(const std::wstring& location)
{
    const auto geometry = volumeGeometry(location[0]);
    return geometry ? geometry->diskSize / geometry->bytesPerSector : 0;
}

class ScanWorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StreamCapture quiet;
        engine.initialize();
        lastIndeterminate.store(false);
    }

    // Runs a worker to its end on its own thread and takes what it posted.
    std::unique_ptr<PostedMessages> run(const std::string& location, RecoveryEngine& scanEngine)
    {
        isScanning.store(true);
        const ScanTarget target{host.get(), &scanEngine, &isScanning, &stopRequested, &postsAbandoned};
        const ScanParameters parameters{location, "accidental_deletion", everyCategory, 3};
        std::thread worker([&] { scanWorker(target, parameters); });
        worker.join();
        return std::make_unique<PostedMessages>(host.get());
    }
    std::unique_ptr<PostedMessages> run(const std::string& location) { return run(location, engine); }

    HostWindow host{10, 10};
    RecoveryEngine engine;
    std::atomic<bool> isScanning{false};
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> postsAbandoned{false};
};

} // namespace

TEST_F(ScanWorkerTest, PostsEveryFindThinnedStatusLinesChangedProgressThenSummaryAndEnd)
{
    TempFolder folder;
    for (int i = 0; i < 12; ++i) {
        folder.writeFile(L"file" + std::to_wstring(10 + i) + L".txt");
    }
    folder.writeFile(L"zz.jpg");
    const std::uint64_t total = volumeTotal(folder.path());

    StreamCapture quiet;
    const auto posted = run(folder.narrowPath());

    ASSERT_FALSE(posted->all.empty());
    EXPECT_EQ(posted->all.front().message, static_cast<UINT>(WM_SCAN_STATUS));
    const auto finds = posted->of(WM_SCAN_FILE_FOUND);
    ASSERT_EQ(finds.size(), 13u);
    EXPECT_EQ(reinterpret_cast<const FileInfo*>(finds[0].lParam)->name, "file10.txt");
    EXPECT_EQ(reinterpret_cast<const FileInfo*>(finds[12].lParam)->fileType, "image");

    // The first line names the location; then lines for the 1st, 5th and 10th find.
    const auto lines = posted->statusLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], L"正在扫描设备: " + folder.path());
    const std::wstring totalText = std::to_wstring(total);
    if (isRunAsAdmin()) {
        // The first find comes before the first progress report, so no total is known yet.
        EXPECT_EQ(lines[1], L"正在扫描:  (1/0) file10.txt");
        EXPECT_EQ(lines[3], L"正在扫描:  (10/" + totalText + L") file19.txt");
    } else {
        EXPECT_EQ(lines[1], L"正在扫描: 1  file10.txt");
        EXPECT_EQ(lines[3], L"正在扫描: 10  file19.txt");
    }

    // One progress message per change of value, however many files share a value.
    std::vector<WPARAM> expectedValues;
    for (std::uint64_t position = 1; total != 0 && position <= 13; ++position) {
        const WPARAM value = static_cast<WPARAM>(std::min<std::uint64_t>(position * 10000 / total, 10000));
        if (expectedValues.empty() || expectedValues.back() != value) {
            expectedValues.push_back(value);
        }
    }
    std::vector<WPARAM> values;
    for (const Posted& progress : posted->of(WM_SCAN_PROGRESS)) {
        values.push_back(progress.wParam);
        EXPECT_EQ(progress.lParam, 0);
    }
    EXPECT_EQ(values, expectedValues);
    EXPECT_EQ(posted->of(WM_SCAN_PROGRESS_MODE).size(), total == 0 ? 1u : 0u);

    const auto summary = posted->of(WM_SCAN_SUMMARY);
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0].wParam, 13u);
    EXPECT_EQ(posted->all.back().message, static_cast<UINT>(WM_SCAN_COMPLETE));
    EXPECT_EQ(posted->of(WM_SCAN_STOPPED).size() + posted->of(WM_SCAN_ERROR).size(), 0u);
    EXPECT_FALSE(isScanning.load());
}

TEST_F(ScanWorkerTest, AStopAskedForDuringTheScanEndsWithStoppedAloneAndKeepsTheScanFlag)
{
    TempFolder folder;
    folder.writeFile(L"a.txt");
    stopRequested.store(true);
    StreamCapture quiet;

    const auto posted = run(folder.narrowPath());

    EXPECT_TRUE(posted->of(WM_SCAN_FILE_FOUND).empty());
    ASSERT_EQ(posted->all.size(), 2u);
    EXPECT_EQ(posted->all[0].message, static_cast<UINT>(WM_SCAN_STATUS));
    EXPECT_EQ(posted->all[1].message, static_cast<UINT>(WM_SCAN_STOPPED));
    EXPECT_TRUE(isScanning.load());   // the window's end handler clears it
}

TEST_F(ScanWorkerTest, AnEngineFailureEndsWithAnErrorCarryingAnEmptyText)
{
    TempFolder folder;
    RecoveryEngine notStarted;
    StreamCapture capture;

    const auto posted = run(folder.narrowPath(), notStarted);

    EXPECT_EQ(countOf(capture.outLines(), "扫描设备时发生异常: 恢复引擎尚未初始化"), 1u);
    ASSERT_EQ(posted->all.size(), 2u);
    EXPECT_EQ(posted->all[0].message, static_cast<UINT>(WM_SCAN_STATUS));
    EXPECT_EQ(posted->all[1].message, static_cast<UINT>(WM_SCAN_ERROR));
    ASSERT_NE(posted->all[1].lParam, 0);
    EXPECT_EQ(*reinterpret_cast<const char*>(posted->all[1].lParam), '\0');
    EXPECT_FALSE(isScanning.load());
}

namespace {

struct Tracked {
    explicit Tracked(bool* gone) : gone(gone) {}
    ~Tracked() { *gone = true; }
    bool* gone;
};

} // namespace

TEST(ScanMessages, APayloadIsHandedOverWhenPostedAndDeletedWhenNot)
{
    const std::atomic<bool> keepTrying{false};
    bool gone = false;
    {
        HostWindow live(10, 10);
        EXPECT_TRUE(postScanMessage(live.get(), WM_SCAN_STATUS, 0, std::make_unique<Tracked>(&gone), keepTrying));
        EXPECT_FALSE(gone);
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, live.get(), WM_SCAN_STATUS, WM_SCAN_STATUS, PM_REMOVE));
        delete reinterpret_cast<Tracked*>(msg.lParam);
        EXPECT_TRUE(gone);
    }

    HWND goneWindow = HostWindow(10, 10).get();
    gone = false;
    EXPECT_FALSE(postScanMessage(goneWindow, WM_SCAN_STATUS, 0, std::make_unique<Tracked>(&gone), keepTrying));
    EXPECT_TRUE(gone);
}

TEST(ScanMessages, DiscardingTakesEveryScanMessageAndAppliesTheModeRequestsInOrder)
{
    HostWindow host(10, 10);
    HWND window = host.get();
    PostMessageW(window, WM_SCAN_FILE_FOUND, 0, reinterpret_cast<LPARAM>(new FileInfo));
    PostMessageW(window, WM_SCAN_PROGRESS_MODE, TRUE, 0);
    PostMessageW(window, WM_SCAN_STATUS, 0, reinterpret_cast<LPARAM>(new std::wstring(L"line")));
    PostMessageW(window, WM_SCAN_PROGRESS, 5, reinterpret_cast<LPARAM>(new std::wstring(L"text")));
    PostMessageW(window, WM_SCAN_ERROR, 0, reinterpret_cast<LPARAM>(new char[1]{}));
    PostMessageW(window, WM_SCAN_PROGRESS_MODE, FALSE, 0);
    PostMessageW(window, WM_SCAN_COMPLETE, 0, 0);
    PostMessageW(window, WM_USER + 20, 0, 0);

    std::vector<bool> modes;
    EXPECT_EQ(discardScanMessages(window, [&](bool marquee) { modes.push_back(marquee); }), 7);
    EXPECT_EQ(modes, (std::vector<bool>{true, false}));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 20));
}
