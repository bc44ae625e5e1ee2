#include "results_window_test.h"
#include "temp_folder.h"

#include <filesystem>

namespace {

class SearchTest : public ResultsWindowTest {
protected:
    static void SetUpTestSuite()
    {
        tree = new TempFolder;
        tree->writeFile(L"Annual Report.txt", "r");
        tree->writeFile(L"a.TXT", "a");
        tree->writeFile(L"reports\\summary.doc", "s");
        tree->writeFile(L"b", "b");
        tree->writeFile(L"pictures\\photo.jpg", std::string(512, 'p'));
        tree->writeFile(L"data.xyz", "x");
    }
    static void TearDownTestSuite()
    {
        delete tree;
        tree = nullptr;
    }

    void SetUp() override
    {
        ResultsWindowTest::SetUp();
        ASSERT_TRUE(scanToEnd(tree->path()));
        ASSERT_EQ(rows(0), 6);
    }

    // Search tab forward with its list on show.
    void expectSearchListShown()
    {
        EXPECT_EQ(selectedTab(), 8);
        EXPECT_EQ(currentList(), list(8));
        EXPECT_TRUE(IsWindowVisible(list(8)));
        EXPECT_FALSE(emptyViewShown(8));
        EXPECT_FALSE(IsWindowVisible(list(0)));
        EXPECT_FALSE(emptyViewShown(0));
    }

    static TempFolder* tree;
};

TempFolder* SearchTest::tree = nullptr;

} // namespace

TEST_F(SearchTest, WildcardsMatchTheNameInAnyCaseAndTextsMatchNameOrPath)
{
    typeSearch(L"*.txt");
    expectSearchListShown();
    EXPECT_EQ(names(8), (std::multiset<std::wstring>{L"Annual Report.txt", L"a.TXT"}));
    EXPECT_EQ(status(), L"找到 2 个文件（共 6 个）");
    const int report = rowNamed(8, L"Annual Report.txt");
    EXPECT_EQ(cell(8, report, 1), L"1 B");
    EXPECT_EQ(cell(8, report, 2), L"text");
    EXPECT_EQ(cell(8, report, 3), L"recoverable");
    EXPECT_EQ(cell(8, report, 4), cell(0, rowNamed(0, L"Annual Report.txt"), 4));

    typeSearch(L"*.JPG");
    EXPECT_EQ(names(8), (std::multiset<std::wstring>{L"photo.jpg"}));
    EXPECT_EQ(cell(8, 0, 1), L"512 B");

    // A folder in the path matches as well as the name, in any letter case.
    typeSearch(L"REPORT");
    EXPECT_EQ(names(8), (std::multiset<std::wstring>{L"Annual Report.txt", L"summary.doc"}));
    EXPECT_EQ(status(), L"找到 2 个文件（共 6 个）");

    // "?" alone is a pattern of one character, not a substring.
    typeSearch(L"?");
    EXPECT_EQ(names(8), (std::multiset<std::wstring>{L"b"}));

    // A leading blank is part of the text: the folder "reports" follows a backslash.
    typeSearch(L" report");
    EXPECT_EQ(names(8), (std::multiset<std::wstring>{L"Annual Report.txt"}));

    typeSearch(L"nothing like it");
    EXPECT_EQ(rows(8), 0);
    EXPECT_TRUE(emptyViewShown(8));
    EXPECT_FALSE(IsWindowVisible(list(8)));
    EXPECT_EQ(status(), L"找到 0 个文件（共 6 个）");
}

TEST_F(SearchTest, BlankAndEmptyTextsLeaveTheStatusAndChangeOnlyWhatTheyShould)
{
    typeSearch(L"*.doc");
    ASSERT_EQ(rows(8), 1);
    chooseTab(0);

    // Blanks only: the search tab comes forward with its list emptied, not its picture.
    typeSearch(L" \t ");
    expectSearchListShown();
    EXPECT_EQ(rows(8), 0);
    EXPECT_EQ(status(), L"找到 1 个文件（共 6 个）");

    // Deleting the text on the search tab shows its picture.
    typeSearch(L"");
    EXPECT_EQ(selectedTab(), 8);
    EXPECT_TRUE(emptyViewShown(8));
    EXPECT_FALSE(IsWindowVisible(list(8)));
    EXPECT_EQ(status(), L"找到 1 个文件（共 6 个）");

    // Deleting it, or leaving the empty box, on another tab changes nothing that can be seen.
    typeSearch(L"*.doc");
    chooseTab(0);
    typeSearch(L"");
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(111, EN_KILLFOCUS), reinterpret_cast<LPARAM>(item(111)));
    EXPECT_EQ(selectedTab(), 0);
    EXPECT_EQ(currentList(), list(0));
    EXPECT_TRUE(IsWindowVisible(list(0)));
    EXPECT_FALSE(IsWindowVisible(list(8)));
    EXPECT_FALSE(emptyViewShown(8));
    EXPECT_EQ(status(), L"找到 1 个文件（共 6 个）");
}

TEST_F(SearchTest, LeavingTheBoxOrChoosingTheSearchTabSearchesAgain)
{
    typeSearch(L"*.jpg");
    chooseTab(2);
    ASSERT_EQ(currentList(), list(2));

    // The box loses the keyboard focus to the window.
    SetFocus(item(111));
    SetFocus(main);
    expectSearchListShown();
    EXPECT_EQ(rows(8), 1);

    // A file that arrives after the search is taken in by the next one.
    chooseTab(0);
    auto* late = new FileInfo;
    late->name = "late.jpg";
    late->fileType = "image";
    SendMessageW(main, WM_USER + 1, 0, reinterpret_cast<LPARAM>(late));
    chooseTab(8);
    EXPECT_EQ(names(8), (std::multiset<std::wstring>{L"photo.jpg", L"late.jpg"}));
    EXPECT_EQ(status(), L"找到 2 个文件（共 7 个）");
}

TEST_F(SearchTest, RecoverActsOnTheSearchListAfterTyping)
{
    TempFolder target;
    targetFolder = target.path();
    chooseTab(0);
    typeSearch(L"*.txt");
    ASSERT_EQ(currentList(), list(8));
    tick(8, rowNamed(8, L"a.TXT"));

    const size_t seen = dialogs.dialogs().size();
    pressRecover();
    const auto shown = dialogsFrom(seen, 2);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, L"恢复完成！成功恢复 1 个文件，共 1 个文件。");
    EXPECT_TRUE(std::filesystem::exists(target.pathOf(L"a.TXT")));
    EXPECT_FALSE(std::filesystem::exists(target.pathOf(L"Annual Report.txt")));
}

TEST(SearchBeforeAnyScan, BringsTheSearchTabForwardWithItsPictureAndZeroCounts)
{
    MainWindow window(GetModuleHandleW(nullptr));
    HWND main = window.create();
    ASSERT_NE(main, nullptr);
    pumpMessages();

    SetWindowTextW(GetDlgItem(main, 111), L"report");

    EXPECT_EQ(SendMessageW(GetDlgItem(main, 112), TCM_GETCURSEL, 0, 0), 8);
    EXPECT_EQ(MainWindowTestAccess::currentList(window), GetDlgItem(main, 208));
    EXPECT_TRUE(IsWindowVisible(MainWindowTestAccess::emptyStateView(window, 8)));
    EXPECT_FALSE(IsWindowVisible(MainWindowTestAccess::emptyStateView(window, 0)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 208)));
    wchar_t status[64] = {};
    GetWindowTextW(GetDlgItem(main, 118), status, 64);
    EXPECT_STREQ(status, L"找到 0 个文件（共 0 个）");
    DestroyWindow(main);
    pumpMessages();
}
