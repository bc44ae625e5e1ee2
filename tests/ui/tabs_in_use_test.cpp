#include "results_window_test.h"
#include "scan_messages.h"
#include "temp_folder.h"

#include <string>

namespace {

// Counts the paints of a window for the life of the object.
class PaintCounter {
public:
    explicit PaintCounter(HWND window) : window(window)
    {
        subclassed = SetWindowSubclass(window, countPaint, subclassId, reinterpret_cast<DWORD_PTR>(&paints));
    }
    ~PaintCounter()
    {
        if (subclassed) {
            RemoveWindowSubclass(window, countPaint, subclassId);
        }
    }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;

    bool counting() const { return subclassed != FALSE; }
    int count() const { return paints; }

private:
    static constexpr UINT_PTR subclassId = 1;

    static LRESULT CALLBACK countPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR counter)
    {
        if (message == WM_PAINT) {
            ++*reinterpret_cast<int*>(counter);
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    HWND window;
    BOOL subclassed = FALSE;
    int paints = 0;
};

FileInfo find(const std::string& name, const char* fileType)
{
    FileInfo file;
    file.name = name;
    file.path = "C:\\found\\" + name;
    file.fileType = fileType;
    file.status = "recoverable";
    file.size = 1536;
    return file;
}

constexpr int documentsTab = 1;
constexpr int textTab = 7;
constexpr int searchTab = 8;

// The scan is started as the Scan button starts one, but the test plays the worker.
class TabsInUseTest : public ResultsWindowTest {
protected:
    void SetUp() override
    {
        ResultsWindowTest::SetUp();
        target = MainWindowTestAccess::startScanWithoutWorker(*window);
    }

    // Queues the finds as the worker does, then lets the window take them all.
    bool deliver(const std::vector<FileInfo>& finds)
    {
        const int before = rows(0);
        for (const FileInfo& file : finds) {
            if (!postFoundFile(main, std::make_unique<FileInfo>(file), target.queuedFiles, *target.postsAbandoned)) {
                return false;
            }
        }
        return pumpUntil([&] { return rows(0) == before + static_cast<int>(finds.size()); });
    }

    static std::vector<FileInfo> textFinds(int count)
    {
        std::vector<FileInfo> finds;
        for (int n = 0; n < count; ++n) {
            finds.push_back(find("note" + std::to_string(n) + ".txt", "text"));
        }
        return finds;
    }

    ScanTarget target;
};

constexpr int findsAfterTheOneRow = 200;

} // namespace

TEST_F(TabsInUseTest, ACategoryTabWithOneRowIsNotRedrawnForFindsOfOtherCategories)
{
    chooseTab(documentsTab);
    ASSERT_TRUE(emptyViewShown(documentsTab));

    // A text file makes other lists one row long, not the shown one: the picture stays.
    ASSERT_TRUE(deliver({find("first.txt", "text")}));
    EXPECT_TRUE(emptyViewShown(documentsTab));
    EXPECT_FALSE(IsWindowVisible(list(documentsTab)));

    // The first document takes the picture's place.
    ASSERT_TRUE(deliver({find("report.pdf", "document")}));
    EXPECT_FALSE(emptyViewShown(documentsTab));
    EXPECT_TRUE(IsWindowVisible(list(documentsTab)));

    pumpMessages();   // the list's own first paint
    PaintCounter paints(list(documentsTab));
    ASSERT_TRUE(paints.counting());
    ASSERT_TRUE(deliver(textFinds(findsAfterTheOneRow)));
    pumpMessages();

    EXPECT_EQ(rows(documentsTab), 1);
    EXPECT_EQ(rows(textTab), findsAfterTheOneRow + 1);
    EXPECT_TRUE(IsWindowVisible(list(documentsTab)));
    EXPECT_FALSE(emptyViewShown(documentsTab));
    // Not once a find: at most the drawing once the run is through.
    EXPECT_LE(paints.count(), 2);
}

TEST_F(TabsInUseTest, ASearchTabWithOneMatchIsNotRedrawnForLaterFinds)
{
    ASSERT_TRUE(deliver({find("alpha.doc", "document"), find("beta.jpg", "image")}));
    typeSearch(L"alpha");
    ASSERT_EQ(selectedTab(), searchTab);
    ASSERT_EQ(rows(searchTab), 1);
    // The search list's row is the row the result lists show for the same record.
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(cell(searchTab, 0, column), cell(0, 0, column)) << column;
    }

    pumpMessages();   // the list's own first paint
    PaintCounter paints(list(searchTab));
    ASSERT_TRUE(paints.counting());
    ASSERT_TRUE(deliver(textFinds(findsAfterTheOneRow)));
    pumpMessages();

    EXPECT_EQ(rows(searchTab), 1);   // later finds wait for the next search
    EXPECT_TRUE(IsWindowVisible(list(searchTab)));
    EXPECT_FALSE(emptyViewShown(searchTab));
    EXPECT_FALSE(IsWindowVisible(list(0)));
    EXPECT_EQ(paints.count(), 0);
}

namespace {

using FailedScanTitlesTest = ResultsWindowTest;

} // namespace

TEST_F(FailedScanTitlesTest, AFailedScanAfterAGoodOneTitlesTheTabsWithTheRowsItLeft)
{
    TempFolder folder;
    for (int i = 0; i < 25; ++i) {
        folder.writeFile(L"note" + std::to_wstring(i) + L".txt", "n");
    }
    ASSERT_TRUE(scanToEnd(folder.path()));
    ASSERT_EQ(tabTitle(item(112), 0), L"全部 (25)");
    ASSERT_EQ(tabTitle(item(112), textTab), L"文本 (25)");

    MainWindowTestAccess::failEngineStartUp(*window);
    SetWindowTextW(item(101), folder.path().c_str());
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(104, BN_CLICKED), reinterpret_cast<LPARAM>(item(104)));
    ASSERT_TRUE(pumpUntil([&] { return status() == L"扫描失败"; }));

    EXPECT_EQ(rows(0), 0);
    EXPECT_EQ(tabTitle(item(112), 0), L"全部 (0)");
    EXPECT_EQ(tabTitle(item(112), textTab), L"文本 (0)");
    EXPECT_EQ(tabTitle(item(112), searchTab), L"搜索");
}
