#include "debug_capture.h"
#include "dialog_watcher.h"
#include "main_window.h"
#include "scoped_settings.h"
#include "stream_capture.h"
#include "temp_folder.h"
#include "window_test_support.h"

#include <commctrl.h>
#include <dbt.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace {

constexpr COLORREF accent = RGB(18, 150, 219);
constexpr COLORREF panel = RGB(240, 240, 240);

std::wstring textOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> childrenOfClass(HWND parent, const wchar_t* className)
{
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (classOf(child) == className) {
            found.push_back(child);
        }
    }
    return found;
}

std::vector<std::wstring> comboItems(HWND combo)
{
    std::vector<std::wstring> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { open(); }

    void TearDown() override
    {
        if (IsWindow(main)) {
            DestroyWindow(main);
        }
        pumpMessages();
        window.reset();
    }

    void open()
    {
        window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr));
        main = window->create();
        ASSERT_NE(main, nullptr);
        pumpMessages();
    }

    HWND item(int id) const { return GetDlgItem(main, id); }

    std::unique_ptr<MainWindow> window;
    HWND main = nullptr;
};

enum class Theme { none, explorer, off };

struct ControlRow {
    int id;
    const wchar_t* className;
    const wchar_t* text;   // null: not compared (combo boxes hold their selection)
    DWORD style;           // bits that must be set
    DWORD typeMask;        // bits of the style that hold a type and must equal `style`'s
    Theme theme;
};

const std::vector<ControlRow> controlTable = {
    {1000, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, BS_TYPEMASK, Theme::none},
    {1001, L"Static", L"磁盘路径 ", WS_CHILD | WS_VISIBLE, 0x1F, Theme::none},
    {101, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0x3,
     Theme::explorer},
    {103, L"Button", L"...", WS_CHILD | WS_VISIBLE | WS_TABSTOP, BS_TYPEMASK, Theme::off},
    {1002, L"Static", L"恢复场景 ", WS_CHILD | WS_VISIBLE, 0x1F, Theme::none},
    {102, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 0x3, Theme::explorer},
    {1003, L"Static", L"文件类型 ", WS_CHILD | WS_VISIBLE, 0x1F, Theme::none},
    {2000, L"Button", L"文档", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, BS_TYPEMASK, Theme::none},
    {2001, L"Button", L"图片", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, BS_TYPEMASK, Theme::none},
    {2002, L"Button", L"视频", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, BS_TYPEMASK, Theme::none},
    {2003, L"Button", L"音频", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, BS_TYPEMASK, Theme::none},
    {2004, L"Button", L"邮件", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, BS_TYPEMASK, Theme::none},
    {2005, L"Button", L"压缩包", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, BS_TYPEMASK, Theme::none},
    {2006, L"Button", L"其他", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, BS_TYPEMASK, Theme::none},
    {2007, L"Button", L"文本", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, BS_TYPEMASK, Theme::none},
    {104, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_BITMAP, BS_TYPEMASK, Theme::off},
    {107, L"Button", L"恢复选中文件", WS_CHILD | WS_VISIBLE, BS_TYPEMASK, Theme::off},
    {1006, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, BS_TYPEMASK, Theme::none},
    {1007, L"Static", L"扫描深度", WS_CHILD | WS_VISIBLE, 0x1F, Theme::none},
    {108, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 0x3, Theme::explorer},
    {1004, L"Static", L"搜索文件 ", WS_CHILD | WS_VISIBLE, 0x1F, Theme::none},
    {111, L"Edit", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_WANTRETURN, 0, Theme::off},
    {1005, L"Static", L"支持通配符查找 (如 *.txt, *.jpg) ", WS_CHILD | WS_VISIBLE, 0x1F, Theme::none},
    {112, L"SysTabControl32", L"",
     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER | TCS_OWNERDRAWFIXED | TCS_FLATBUTTONS, 0,
     Theme::explorer},
    // Without rows the first tab shows its empty-state view in place of list 200.
    {200, L"SysListView32", L"", WS_CHILD | LVS_REPORT, LVS_TYPEMASK, Theme::explorer},
    {113, L"BottomBarClass", L"", WS_CHILD | WS_VISIBLE, 0, Theme::none},
    {118, L"Static", L" 准备就绪", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0x1F, Theme::off},
    {105, L"msctls_progress32", L"", WS_CHILD | PBS_SMOOTH | PBS_SMOOTHREVERSE, 0, Theme::off},
};

// Windows that receive WM_THEMECHANGED: the sign of a SetWindowTheme call with a theme name.
std::set<HWND> themedWindows;

LRESULT CALLBACK recordThemeChange(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && sent->message == WM_THEMECHANGED) {
        themedWindows.insert(sent->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(MainWindowTest, CreatesEveryControlWithItsClassTextAndStyle)
{
    for (const ControlRow& row : controlTable) {
        SCOPED_TRACE(row.id);
        HWND control = item(row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(CompareStringOrdinal(classOf(control).c_str(), -1, row.className, -1, TRUE), CSTR_EQUAL)
            << classOf(control);
        if (row.text) {
            EXPECT_EQ(textOf(control), row.text);
        }
        const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        EXPECT_EQ(style & row.style, row.style) << std::hex << style;
        EXPECT_EQ(style & row.typeMask, row.style & row.typeMask) << std::hex << style;
    }
    EXPECT_TRUE(GetWindowLongW(item(111), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongW(item(118), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_FALSE(IsWindowVisible(item(105)));
    for (int id = 2000; id <= 2007; ++id) {
        EXPECT_EQ(SendMessageW(item(id), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }
}

TEST(MainWindowThemes, ExplorerStyledControlsGetTheirThemeAndPlainOnesNone)
{
    themedWindows.clear();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, recordThemeChange, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    OpenMainWindow window;
    HWND main = window.create();
    UnhookWindowsHookEx(hook);
    ASSERT_NE(main, nullptr);

    std::vector<int> explorerIds;
    for (const ControlRow& row : controlTable) {
        if (row.theme == Theme::explorer) {
            explorerIds.push_back(row.id);
        }
        // An empty theme name switches styles off without a theme change on every system,
        // so only the named theme can be seen from outside.
        if (row.theme == Theme::none) {
            EXPECT_EQ(themedWindows.count(GetDlgItem(main, row.id)), 0u) << row.id;
        }
    }
    for (int id = 201; id <= 208; ++id) {
        explorerIds.push_back(id);
    }
    for (int id : explorerIds) {
        EXPECT_EQ(themedWindows.count(GetDlgItem(main, id)), 1u) << id;
    }
}

TEST_F(MainWindowTest, OpensCentredAtItsSizeWithTitleIconsAndUiFont)
{
    RECT outer;
    GetWindowRect(main, &outer);
    EXPECT_EQ(outer.right - outer.left, 800);
    EXPECT_EQ(outer.bottom - outer.top, 600);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 800) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 600) / 2);
    EXPECT_EQ(textOf(main), L"Quorvane v1.0");
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_NE(GetClassLongPtrW(main, GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrW(main, GCLP_HICONSM), 0);

    auto font = reinterpret_cast<HFONT>(SendMessageW(item(101), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW described = {};
    ASSERT_EQ(GetObjectW(font, sizeof(described), &described), static_cast<int>(sizeof(described)));
    EXPECT_STREQ(described.lfFaceName, L"Microsoft YaHei");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(described.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(described.lfWeight, FW_NORMAL);
    EXPECT_EQ(described.lfCharSet, DEFAULT_CHARSET);

    for (int id : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 101, 102, 103, 104, 107, 108, 111, 112, 118,
                   2000, 2007, 200, 208}) {
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(item(id), WM_GETFONT, 0, 0)), font) << id;
    }
}

TEST_F(MainWindowTest, FillsTheListsTabsAndColumns)
{
    EXPECT_EQ(comboItems(item(102)), (std::vector<std::wstring>{L"误删除文件", L"清空回收站", L"格式化设备", L"重装系统"}));
    EXPECT_EQ(SendMessageW(item(102), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(comboItems(item(108)), (std::vector<std::wstring>{L"3", L"4", L"5", L"不限"}));
    EXPECT_EQ(SendMessageW(item(108), CB_GETCURSEL, 0, 0), 0);

    const std::vector<std::wstring> tabNames = {L"全部", L"文档", L"图片", L"视频", L"音频",
                                                L"邮件", L"压缩包", L"文本", L"搜索"};
    ASSERT_EQ(SendMessageW(item(112), TCM_GETITEMCOUNT, 0, 0), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(tabTitle(item(112), i), tabNames[i]);
    }
    EXPECT_EQ(SendMessageW(item(112), TCM_GETCURSEL, 0, 0), 0);

    const std::vector<std::wstring> columnNames = {L"文件名", L"大小", L"类型", L"状态", L"路径"};
    const std::vector<int> columnWidths = {200, 100, 100, 100, 200};
    for (int id = 200; id <= 208; ++id) {
        SCOPED_TRACE(id);
        HWND list = item(id);
        ASSERT_NE(list, nullptr);
        EXPECT_FALSE(IsWindowVisible(list));
        const auto extended = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_EQ(extended & 0x425, 0x425);
        for (int column = 0; column < 5; ++column) {
            wchar_t name[32] = {};
            LVCOLUMNW described = {};
            described.mask = LVCF_TEXT | LVCF_WIDTH;
            described.pszText = name;
            described.cchTextMax = 32;
            ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&described)));
            EXPECT_EQ(name, columnNames[column]);
            EXPECT_EQ(described.cx, columnWidths[column]);
        }
        LVCOLUMNW beyond = {};
        beyond.mask = LVCF_WIDTH;
        EXPECT_FALSE(SendMessageW(list, LVM_GETCOLUMNW, 5, reinterpret_cast<LPARAM>(&beyond)));
    }

    // The selected first tab has no rows, so its empty-state view alone shows.
    const auto views = childrenOfClass(main, L"EmptyStateViewClass");
    EXPECT_EQ(views.size(), 9u);
    EXPECT_EQ(std::count_if(views.begin(), views.end(), [](HWND view) { return IsWindowVisible(view) != FALSE; }), 1);

    PBRANGE range = {};
    SendMessageW(item(105), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 1000);
    EXPECT_EQ(SendMessageW(item(105), PBM_GETPOS, 0, 0), 0);
}

TEST_F(MainWindowTest, ListsEveryDriveWithARootInLetterOrder)
{
    std::vector<std::wstring> expected;
    wchar_t roots[256] = {};
    GetLogicalDriveStringsW(256, roots);
    for (const wchar_t* root = roots; *root; root += wcslen(root) + 1) {
        const UINT type = GetDriveTypeW(root);
        if (type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR) {
            std::wstring drive = root;
            drive[0] = towupper(drive[0]);
            expected.push_back(drive);
        }
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(comboItems(item(101)), expected);
    EXPECT_EQ(SendMessageW(item(101), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(textOf(item(101)), expected.front());
}

namespace {

struct Placement {
    int id;
    int x;
    int y;
    int width;
    int height;   // -1: a combo box, whose drop-down list is part of the height given
};

std::vector<Placement> layoutFor(int w, int h)
{
    std::vector<Placement> table = {
        {1000, 10, 10, w - 130, 84}, {1001, 30, 33, 80, 20},       {1002, 360, 33, 80, 20},
        {1003, 30, 62, 80, 20},      {101, 110, 30, 160, -1},      {103, 280, 30, 30, 25},
        {102, 440, 30, 200, -1},     {104, w - 110, 20, 100, 30},  {107, w - 110, 61, 100, 30},
        {1006, 10, 95, 180, 44},     {1007, 32, 112, 60, 18},      {108, 110, 108, 60, -1},
        {1004, 380, 114, 80, 20},    {111, 440, 110, 140, 25},     {1005, 590, 114, w - 40, 20},
        {112, 10, 148, w - 20, 30},  {113, 0, h - 30, w, 30},      {118, 10, h - 24, 400, 20},
        {105, 420, h - 24, w - 440, 20},
    };
    for (int i = 0; i < 8; ++i) {
        table.push_back({2000 + i, 110 + 60 * i, 62, 60, 20});
    }
    for (int i = 0; i < 9; ++i) {
        table.push_back({200 + i, 10, 176, w - 20, h - 206});
    }
    return table;
}

void expectLayout(HWND main)
{
    RECT client;
    GetClientRect(main, &client);
    for (const Placement& place : layoutFor(client.right, client.bottom)) {
        SCOPED_TRACE(place.id);
        const RECT rect = childRect(GetDlgItem(main, place.id));
        EXPECT_EQ(rect.left, place.x);
        EXPECT_EQ(rect.top, place.y);
        EXPECT_EQ(rect.right - rect.left, place.width);
        if (place.height >= 0) {
            EXPECT_EQ(rect.bottom - rect.top, place.height);
        }
    }
    for (HWND view : childrenOfClass(main, L"EmptyStateViewClass")) {
        const RECT rect = childRect(view);
        EXPECT_EQ(rect.left, 10);
        EXPECT_EQ(rect.top, 176);
        EXPECT_EQ(rect.right - rect.left, client.right - 20);
        EXPECT_EQ(rect.bottom - rect.top, client.bottom - 206);
    }
}

} // namespace

TEST_F(MainWindowTest, LaysOutEveryControlAtTheSmallestSize)
{
    expectLayout(main);
}

TEST_F(MainWindowTest, ALargerWindowMovesOnlyTheRightButtonsAndStretchesTheRest)
{
    SetWindowPos(main, nullptr, 0, 0, 1000, 760, SWP_NOMOVE | SWP_NOZORDER);
    pumpMessages();
    RECT client;
    GetClientRect(main, &client);
    ASSERT_GT(client.right, 900);
    expectLayout(main);

    const RECT scan = childRect(item(104));
    EXPECT_EQ(client.right - scan.left, 110);
    const RECT bar = childRect(item(113));
    EXPECT_EQ(bar.bottom, client.bottom);
}

TEST_F(MainWindowTest, CannotBeTrackedSmallerThanItsOpeningSize)
{
    MINMAXINFO info = {};
    info.ptMaxSize = {1111, 2222};
    info.ptMaxPosition = {3, 4};
    info.ptMinTrackSize = {5, 6};
    info.ptMaxTrackSize = {7777, 8888};
    EXPECT_EQ(SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 800);
    EXPECT_EQ(info.ptMinTrackSize.y, 600);
    EXPECT_EQ(info.ptMaxSize.x, 1111);
    EXPECT_EQ(info.ptMaxSize.y, 2222);
    EXPECT_EQ(info.ptMaxPosition.x, 3);
    EXPECT_EQ(info.ptMaxTrackSize.y, 8888);
}

TEST_F(MainWindowTest, StatusTextAndProgressBarLieOverTheBottomBar)
{
    const auto zOrder = [&](HWND wanted) {
        int index = 0;
        for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
            if (child == wanted) {
                return index;
            }
        }
        return -1;
    };
    EXPECT_LT(zOrder(item(118)), zOrder(item(113)));
    EXPECT_LT(zOrder(item(105)), zOrder(item(113)));
}

TEST_F(MainWindowTest, PaintsTheSelectedTabInAccentAndTheOthersInPanel)
{
    HWND tabs = item(112);
    const auto background = [&](int index) {
        RECT rect = {};
        SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        return windowPixel(tabs, rect.left + 4, (rect.top + rect.bottom) / 2);
    };
    // Light text pixels in a tab: the selected tab's white caption.
    const auto lightPixels = [&](int index) {
        RECT rect = {};
        SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        int light = 0;
        HDC dc = GetDC(tabs);
        for (int y = rect.top + 2; y < rect.bottom - 2; ++y) {
            for (int x = rect.left + 2; x < rect.right - 2; ++x) {
                const COLORREF pixel = GetPixel(dc, x, y);
                light += GetRValue(pixel) > 250 && GetGValue(pixel) > 250 && GetBValue(pixel) > 250;
            }
        }
        ReleaseDC(tabs, dc);
        return light;
    };

    EXPECT_TRUE(nearColor(background(0), accent)) << std::hex << background(0);
    EXPECT_TRUE(nearColor(background(1), panel)) << std::hex << background(1);
    EXPECT_TRUE(nearColor(background(8), panel)) << std::hex << background(8);
    EXPECT_GT(lightPixels(0), 0);
    EXPECT_EQ(lightPixels(1), 0);

    SendMessageW(tabs, TCM_SETCURSEL, 3, 0);
    InvalidateRect(tabs, nullptr, TRUE);
    UpdateWindow(tabs);
    EXPECT_TRUE(nearColor(background(3), accent)) << std::hex << background(3);
    EXPECT_TRUE(nearColor(background(0), panel)) << std::hex << background(0);
}

TEST_F(MainWindowTest, StaticControlsGetWhiteTheStatusTextPanelAndTheHintAccent)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const auto colourOf = [&](int id, int bkMode) {
        SetBkMode(dc, bkMode);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(item(id))));
        LOGBRUSH described = {};
        GetObjectW(brush, sizeof(described), &described);
        return std::make_pair(brush, described.lbColor);
    };

    const auto [labelBrush, labelColour] = colourOf(1001, TRANSPARENT);
    EXPECT_EQ(labelColour, RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);

    const auto [hintBrush, hintColour] = colourOf(1005, TRANSPARENT);
    EXPECT_EQ(hintBrush, labelBrush);   // made once, then kept
    EXPECT_EQ(GetTextColor(dc), accent);
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));

    const auto [statusBrush, statusColour] = colourOf(118, TRANSPARENT);
    EXPECT_NE(statusBrush, labelBrush);
    EXPECT_EQ(statusColour, panel);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), panel);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);   // left as the control had it
    EXPECT_EQ(colourOf(118, OPAQUE).first, statusBrush);

    DeleteDC(dc);
}

TEST_F(MainWindowTest, BottomBarIsPanelColoured)
{
    HWND bar = item(113);
    RECT client;
    GetClientRect(bar, &client);
    EXPECT_EQ(windowPixel(bar, client.right - 3, 2), panel);
    EXPECT_EQ(windowPixel(bar, 3, client.bottom - 2), panel);
}

namespace {

COLORREF facePixel(HBITMAP face, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, face);
    const COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return pixel;
}

} // namespace

TEST_F(MainWindowTest, ScanButtonShowsTheStartPictureAndItsLabel)
{
    auto face = reinterpret_cast<HBITMAP>(SendMessageW(item(104), BM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(face, nullptr);
    BITMAP described = {};
    ASSERT_TRUE(GetObjectW(face, sizeof(described), &described));
    EXPECT_EQ(described.bmWidth, 94);
    EXPECT_EQ(described.bmHeight, 24);

    Gdiplus::Bitmap picture(L"assets\\start.png");
    ASSERT_EQ(picture.GetLastStatus(), Gdiplus::Ok);
    const int left = (94 - static_cast<int>(picture.GetWidth()) - 30) / 2;
    const int top = (24 - static_cast<int>(picture.GetHeight())) / 2;
    int compared = 0;
    for (UINT y = 0; y < picture.GetHeight(); ++y) {
        for (UINT x = 0; x < picture.GetWidth(); ++x) {
            Gdiplus::Color c;
            picture.GetPixel(x, y, &c);
            if (c.GetA() == 255) {
                ++compared;
                EXPECT_TRUE(nearColor(facePixel(face, left + x, top + y), RGB(c.GetR(), c.GetG(), c.GetB())))
                    << x << "," << y;
            }
        }
    }
    EXPECT_GT(compared, 10);
    EXPECT_EQ(facePixel(face, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(facePixel(face, 93, 23), RGB(255, 255, 255));

    // The label is drawn in the accent colour to the right of the picture.
    int accentPixels = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = left + static_cast<int>(picture.GetWidth()) + 1; x < 94; ++x) {
            accentPixels += nearColor(facePixel(face, x, y), accent, 40);
        }
    }
    EXPECT_GT(accentPixels, 10);
}

TEST_F(MainWindowTest, ScanButtonFaceIsDeletedWithTheWindow)
{
    auto face = reinterpret_cast<HBITMAP>(SendMessageW(item(104), BM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(face, nullptr);
    ASSERT_EQ(GetObjectType(face), static_cast<DWORD>(OBJ_BITMAP));
    DestroyWindow(main);
    EXPECT_EQ(GetObjectType(face), 0u);
}

TEST(MainWindowPictures, EveryEmptyStateViewLoadsItsPicture)
{
    StreamCapture capture;
    OpenMainWindow window;
    HWND main = window.create();
    ASSERT_NE(main, nullptr);
    const auto lines = capture.outLines();
    EXPECT_EQ(countOf(lines, "EmptyStateView image loaded successfully"), 9u);
    EXPECT_EQ(countOf(lines, "EmptyStateView window created successfully"), 9u);
    EXPECT_EQ(countOf(lines, "Failed to load empty.png image"), 0u);
    EXPECT_LE(countOf(lines, "EmptyStateView class registered successfully"), 1u);
}

TEST_F(MainWindowTest, AVolumeArrivingOrLeavingRefillsTheDriveList)
{
    const auto drives = comboItems(item(101));
    for (WPARAM event : {WPARAM(DBT_DEVICEARRIVAL), WPARAM(DBT_DEVICEREMOVECOMPLETE)}) {
        SetWindowTextW(item(101), L"C:\\typed\\folder");
        DEV_BROADCAST_VOLUME volume = {};
        volume.dbcv_size = sizeof(volume);
        volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
        DebugCapture debug;
        EXPECT_EQ(SendMessageW(main, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume)), TRUE);

        EXPECT_EQ(comboItems(item(101)), drives);
        EXPECT_EQ(textOf(item(101)), drives.front());
        wchar_t first[64];
        swprintf(first, 64, L"WM_DEVICECHANGE received: wParam=0x%X\n", static_cast<unsigned>(event));
        EXPECT_EQ(debug.lines(), (std::vector<std::wstring>{first, L"Device change: type=2\n",
                                                            L"Volume device detected, updating device list\n"}));
    }
}

TEST_F(MainWindowTest, OtherDeviceEventsLeaveTheDriveListAlone)
{
    SetWindowTextW(item(101), L"C:\\typed\\folder");
    DEV_BROADCAST_HDR port = {};
    port.dbch_size = sizeof(port);
    port.dbch_devicetype = DBT_DEVTYP_PORT;
    DebugCapture debug;

    EXPECT_EQ(SendMessageW(main, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&port)), TRUE);
    EXPECT_EQ(SendMessageW(main, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), TRUE);
    EXPECT_EQ(SendMessageW(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), TRUE);
    EXPECT_EQ(SendMessageW(main, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, 0), TRUE);

    EXPECT_EQ(textOf(item(101)), L"C:\\typed\\folder");
    EXPECT_EQ(debug.lines(), (std::vector<std::wstring>{
                                 L"WM_DEVICECHANGE received: wParam=0x8000\n",
                                 L"Device change: type=3\n",
                                 L"WM_DEVICECHANGE received: wParam=0x8000\n",
                                 L"WM_DEVICECHANGE received: wParam=0x7\n",
                                 L"WM_DEVICECHANGE received: wParam=0x8001\n",
                             }));
}

TEST(MainWindowDevices, RegistersForVolumeNotificationsAndSaysHowItWent)
{
    HostWindow host(100, 100);
    // Whether this system grants a window volume notifications, asked here without the program.
    DEV_BROADCAST_VOLUME filter = {};
    filter.dbcv_size = sizeof(filter);
    filter.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    HDEVNOTIFY probe = RegisterDeviceNotificationW(host.get(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    const bool granted = probe != nullptr;
    if (probe) {
        UnregisterDeviceNotification(probe);
    }

    DebugCapture debug;
    DeviceNotificationHandle notification;
    notification.registerNotification(host.get());
    EXPECT_EQ(notification.registered(), granted);
    EXPECT_EQ(debug.lines(), std::vector<std::wstring>{granted ? L"Device notification registered successfully\n"
                                                               : L"Failed to register device notification\n"});
    // Letting go twice is harmless.
    notification.unregisterNotification();
    EXPECT_FALSE(notification.registered());
    notification.unregisterNotification();
}

TEST_F(MainWindowTest, AChosenFolderReplacesTheLocationText)
{
    TempFolder folder;
    const std::wstring chosen = folder.makeFolder(L"chosen");
    {
        DialogWatcher watcher([&](const SeenDialog&) { return DialogAnswer{IDOK, chosen}; });
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(103, BN_CLICKED), reinterpret_cast<LPARAM>(item(103)));
        ASSERT_EQ(watcher.dialogs().size(), 1u);
    }
    EXPECT_EQ(CompareStringOrdinal(textOf(item(101)).c_str(), -1, chosen.c_str(), -1, TRUE), CSTR_EQUAL)
        << textOf(item(101));
}

TEST_F(MainWindowTest, CancellingTheFolderDialogLeavesTheLocation)
{
    SetWindowTextW(item(101), L"D:\\kept");
    {
        DialogWatcher watcher([](const SeenDialog&) { return DialogAnswer{IDCANCEL, {}}; });
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(103, BN_CLICKED), reinterpret_cast<LPARAM>(item(103)));
        ASSERT_EQ(watcher.dialogs().size(), 1u);
    }
    EXPECT_EQ(textOf(item(101)), L"D:\\kept");
}

TEST_F(MainWindowTest, ClosingTheWindowPostsQuitWithZero)
{
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
    MSG msg = {};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}
