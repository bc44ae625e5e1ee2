#include "debug_capture.h"
#include "recovery_controller.h"
#include "results_window_test.h"
#include "scan_messages.h"
#include "stream_capture.h"
#include "temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string contentOf(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::set<std::wstring> filesIn(const std::wstring& folder)
{
    std::set<std::wstring> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        found.insert(entry.path().filename().wstring());
    }
    return found;
}

// Takes the first message of the kind queued for this thread, handling nothing else meanwhile;
// false when none came within the time-out.
bool waitForQueued(UINT message, MSG& taken)
{
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (!PeekMessageW(&taken, nullptr, message, message, PM_REMOVE)) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

// How often the engine began a recovery.
int recoveryRuns(const StreamCapture& capture)
{
    const auto lines = capture.outLines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [](const std::string& line) { return line.starts_with("开始恢复 "); }));
}

class RecoveryTest : public ResultsWindowTest {
protected:
    void SetUp() override
    {
        ResultsWindowTest::SetUp();
        source.writeFile(L"docs\\a.doc", "AAA");
        source.writeFile(L"docs\\b.doc", "BBB");
        source.writeFile(L"pics\\c.jpg", "CCC");
        source.writeFile(L"x\\same.txt", "first");
        source.writeFile(L"y\\same.txt", "second");
        targetFolder = target.path();
    }

    bool scanSource() { return scanToEnd(source.path()) && rows(0) == 5; }

    // Presses the button and returns the boxes it showed, the folder dialog included.
    std::vector<SeenDialog> recover(size_t boxes)
    {
        const size_t seen = dialogs.dialogs().size();
        pressRecover();
        return dialogsFrom(seen, boxes);
    }

    TempFolder source;
    TempFolder target;
};

} // namespace

TEST_F(RecoveryTest, CopiesTheRowsTickedInTheCurrentListOnly)
{
    ASSERT_TRUE(scanSource());
    tick(0, rowNamed(0, L"a.doc"));
    tick(0, rowNamed(0, L"c.jpg"));
    tick(1, rowNamed(1, L"b.doc"));
    DebugCapture debug;

    auto shown = recover(2);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_FALSE(isMessageBox(shown[0]));   // the folder dialog
    EXPECT_EQ(shown[1].caption, L"恢复结果");
    EXPECT_EQ(shown[1].text, L"恢复完成！成功恢复 2 个文件，共 2 个文件。");
    EXPECT_EQ(filesIn(target.path()), (std::set<std::wstring>{L"a.doc", L"c.jpg"}));
    EXPECT_EQ(contentOf(target.pathOf(L"c.jpg")), "CCC");
    EXPECT_EQ(debug.countOf(L"总项目数: 5"), 1u);
    EXPECT_EQ(debug.countOf(L"找到的选中项目数: 2, 待恢复文件数: 2"), 1u);
    EXPECT_EQ(status(), L"恢复操作完成");

    // Ticks belong to their list: under "文档" only b.doc is ticked, and a.doc's row there is not.
    chooseTab(1);
    EXPECT_FALSE(ticked(1, rowNamed(1, L"a.doc")));
    TempFolder second;
    targetFolder = second.path();
    shown = recover(2);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, L"恢复完成！成功恢复 1 个文件，共 1 个文件。");
    EXPECT_EQ(filesIn(second.path()), (std::set<std::wstring>{L"b.doc"}));
    // The rows keep their records: a recovery changes nothing in the lists.
    EXPECT_EQ(cell(1, rowNamed(1, L"b.doc"), 3), L"recoverable");
    EXPECT_EQ(rows(0), 5);
}

TEST_F(RecoveryTest, NothingIsCopiedWithoutRowsTicksOrAChosenFolder)
{
    DebugCapture debug;
    StreamCapture capture;
    // Before any scan the current list is the empty all-files list.
    auto shown = recover(1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"提示");
    EXPECT_EQ(shown[0].text, L"请先选择要恢复的文件");
    EXPECT_EQ(debug.lines(), (std::vector<std::wstring>{L"总项目数: 0"}));

    ASSERT_TRUE(scanSource());
    chooseTab(3);   // no video among the files
    shown = recover(1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"请先选择要恢复的文件");

    chooseTab(0);
    shown = recover(1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"提示");
    EXPECT_EQ(shown[0].text, L"没有可恢复的文件");
    EXPECT_EQ(debug.countOf(L"找到的选中项目数: 0, 待恢复文件数: 0"), 1u);

    // A cancelled folder dialog ends it silently.
    tick(0, 0);
    targetFolder.clear();
    const std::wstring before = status();
    const size_t seen = dialogs.dialogs().size();
    shown = recover(1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(isMessageBox(shown[0]));
    // The button's handler has returned and whatever it queued is handled: any box is on record.
    pumpMessages();
    EXPECT_EQ(dialogs.dialogs().size(), seen + 1);
    EXPECT_EQ(status(), before);

    EXPECT_EQ(recoveryRuns(capture), 0);
}

TEST_F(RecoveryTest, AFailedCopyLowersTheCountAndTheStatusFollowsTheClosedSummary)
{
    ASSERT_TRUE(scanSource());
    for (const wchar_t* name : {L"a.doc", L"b.doc", L"c.jpg"}) {
        tick(0, rowNamed(0, name));
    }
    ASSERT_TRUE(DeleteFileW(source.pathOf(L"docs\\b.doc").c_str()));
    StreamCapture capture;

    const auto shown = recover(2);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, L"恢复结果");
    EXPECT_EQ(shown[1].text, L"恢复完成！成功恢复 2 个文件，共 3 个文件。");
    EXPECT_EQ(statusesAtSummary(), (std::vector<std::wstring>{L"正在恢复 3 个文件..."}));
    EXPECT_EQ(status(), L"恢复操作完成");
    EXPECT_EQ(filesIn(target.path()), (std::set<std::wstring>{L"a.doc", L"c.jpg"}));
    EXPECT_EQ(countOf(capture.outLines(), "恢复完成，成功: 2, 失败: 1"), 1u);
}

TEST_F(RecoveryTest, TwoFilesOfOneNameAreBothKeptBesideAnExistingOne)
{
    ASSERT_TRUE(scanSource());
    target.writeFile(L"same.txt", "existing");
    int firstRow = -1;
    for (int row = 0; row < rows(0); ++row) {
        if (cell(0, row, 0) == L"same.txt") {
            tick(0, row);
            firstRow = firstRow < 0 ? row : firstRow;
        }
    }
    StreamCapture quiet;

    const auto shown = recover(2);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, L"恢复完成！成功恢复 2 个文件，共 2 个文件。");
    EXPECT_EQ(filesIn(target.path()), (std::set<std::wstring>{L"same.txt", L"same (2).txt", L"same (3).txt"}));
    EXPECT_EQ(contentOf(target.pathOf(L"same.txt")), "existing");
    // Row order decides which copy gets which number.
    const bool xFirst = cell(0, firstRow, 4).find(L"\\x\\") != std::wstring::npos;
    EXPECT_EQ(contentOf(target.pathOf(L"same (2).txt")), xFirst ? "first" : "second");
    EXPECT_EQ(contentOf(target.pathOf(L"same (3).txt")), xFirst ? "second" : "first");
}

TEST_F(RecoveryTest, AnExceptionEndsTheRecoveryWithAnErrorBoxInsteadOfTheSummary)
{
    ASSERT_TRUE(scanSource());
    tick(0, 0);
    RecoveryController controller;
    RecoveryEngine engine;
    StreamCapture quiet;

    // The message comes as the engine writes its own: UTF-8.
    controller.recoverSelected(main, list(0), engine, [](const std::wstring&) { throw std::runtime_error("磁盘已满"); });
    controller.recoverSelected(main, list(0), engine, [](const std::wstring&) { throw 42; });

    const auto shown = dialogsFrom(0, 5);
    ASSERT_EQ(shown.size(), 5u);   // the scan's box, then a folder dialog and a box per call
    EXPECT_EQ(shown[2].caption, L"错误");
    EXPECT_EQ(shown[2].text, L"恢复过程中发生错误: 磁盘已满");
    EXPECT_EQ(shown[4].caption, L"错误");
    EXPECT_EQ(shown[4].text, L"恢复过程中发生未知错误");
    EXPECT_TRUE(filesIn(target.path()).empty());
}

TEST_F(RecoveryTest, DuringAScanItActsOnTheRowsPresentWhenPressed)
{
    // More documents than the window's queue holds: while the test takes them one by one, the worker
    // waits at the bound, so the scan still runs when the button is pressed. The two in "docs" are
    // walked first.
    for (int i = 0; i < maxQueuedFiles + 100; ++i) {
        source.writeFile(L"many\\d" + std::to_wstring(i / 100) + L"\\f" + std::to_wstring(i) + L".doc", "m");
    }
    SendMessageW(item(2000), BM_SETCHECK, BST_CHECKED, 0);
    SetWindowTextW(item(101), source.path().c_str());
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(104, BN_CLICKED), reinterpret_cast<LPARAM>(item(104)));
    chooseTab(1);
    for (int listed = 0; listed < 2; ++listed) {
        MSG found = {};
        ASSERT_TRUE(waitForQueued(WM_SCAN_FILE_FOUND, found));
        DispatchMessageW(&found);
    }
    ASSERT_EQ(rows(1), 2);
    EXPECT_EQ(names(1), (std::multiset<std::wstring>{L"a.doc", L"b.doc"}));
    tick(1, 0);
    tick(1, 1);
    ASSERT_TRUE(MainWindowTestAccess::isScanning(*window));
    StreamCapture quiet;

    const size_t seen = dialogs.dialogs().size();
    pressRecover();

    ASSERT_TRUE(dialogs.waitForDialogs(seen + 2));
    const auto all = dialogs.dialogs();
    const auto summary = std::find_if(all.begin(), all.end(), [](const SeenDialog& box) { return box.caption == L"恢复结果"; });
    ASSERT_NE(summary, all.end());
    // Rows listed meanwhile, while the dialogs were up, are not part of this recovery.
    EXPECT_EQ(summary->text, L"恢复完成！成功恢复 2 个文件，共 2 个文件。");
    EXPECT_EQ(filesIn(target.path()), (std::set<std::wstring>{L"a.doc", L"b.doc"}));
}
