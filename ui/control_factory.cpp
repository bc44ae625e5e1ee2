#include "control_factory.h"

#include "bottom_bar.h"
#include "control_ids.h"
#include "main_window.h"
#include "ui_colors.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <array>

namespace {

constexpr std::array<const wchar_t*, categoryBoxCount> checkboxLabels = {
    L"文档", L"图片", L"视频", L"音频", L"邮件", L"压缩包", L"其他", L"文本",
};
constexpr std::array<const wchar_t*, tabCount> tabNames = {
    L"全部", L"文档", L"图片", L"视频", L"音频", L"邮件", L"压缩包", L"文本", L"搜索",
};

struct Column {
    const wchar_t* name;
    int width;
};
constexpr std::array<Column, 5> columns = {{
    {L"文件名", 200}, {L"大小", 100}, {L"类型", 100}, {L"状态", 100}, {L"路径", 200},
}};

constexpr std::array<const wchar_t*, 4> depthItems = {L"3", L"4", L"5", L"不限"};

constexpr std::array<int, 2> groupBoxIds = {controlId::mainGroup, controlId::depthGroup};
constexpr std::array<int, 6> labelIds = {
    controlId::diskLabel,   controlId::scenarioLabel, controlId::fileTypeLabel,
    controlId::searchLabel, controlId::searchHint,    controlId::depthLabel,
};

enum class Theme { none, explorer, off };

struct Placement {
    int x;
    int y;
    int width;
    int height;
};

HWND makeControl(HWND parent, HINSTANCE instance, int id, const wchar_t* className, const wchar_t* text,
                 DWORD style, Placement at, Theme theme = Theme::none, DWORD extendedStyle = 0)
{
    HWND control = CreateWindowExW(extendedStyle, className, text, style, at.x, at.y, at.width, at.height,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                   nullptr);
    if (control && theme == Theme::explorer) {
        SetWindowTheme(control, L"Explorer", nullptr);
    } else if (control && theme == Theme::off) {
        SetWindowTheme(control, L"", nullptr);   // an empty name switches visual styles off
    }
    return control;
}

constexpr DWORD childStyle = WS_CHILD | WS_VISIBLE;

} // namespace

void ControlFactory::createAll(HWND parentWindow, HINSTANCE instance, MainWindow* mainWindow)
{
    parent = parentWindow;
    hInstance = instance;
    owner = mainWindow;

    registerBottomBarClass(instance);
    createUiFont(instance);
    createMainGroup(parent, instance);
    createDiskRow(parent, instance);
    createScenarioRow(parent, instance);
    createFileTypeRow(parent, instance);
    createActionButtons(parent, instance);
    createDepthRow(parent, instance);
    createSearchRow(parent, instance);
    createTabs(parent, instance);
    createListViews(parent, instance);
    createBottomBar(parent, instance);
    applyFont(parent, owner->uiFont.get());
}

void ControlFactory::registerBottomBarClass(HINSTANCE instance)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, L"BottomBarClass", &existing)) {
        return;
    }
    WNDCLASSEXW barClass = {};
    barClass.cbSize = sizeof(barClass);
    barClass.style = CS_HREDRAW | CS_VREDRAW;
    barClass.lpfnWndProc = bottomBarWndProc;
    barClass.hInstance = instance;
    barClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    barClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    barClass.lpszClassName = L"BottomBarClass";
    RegisterClassExW(&barClass);
}

void ControlFactory::createUiFont(HINSTANCE)
{
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    owner->uiFont.reset(CreateFontW(-MulDiv(9, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, 0, 0, 0, 0, L"Microsoft YaHei"));
}

void ControlFactory::createMainGroup(HWND parentWindow, HINSTANCE instance)
{
    makeControl(parentWindow, instance, controlId::mainGroup, L"BUTTON", L"", childStyle | BS_GROUPBOX,
                {10, 10, 620, 80});
}

void ControlFactory::createDiskRow(HWND parentWindow, HINSTANCE instance)
{
    makeControl(parentWindow, instance, controlId::diskLabel, L"STATIC", L"磁盘路径 ", childStyle,
                {30, 32, 80, 20});
    owner->pathCombo = makeControl(parentWindow, instance, controlId::pathCombo, L"COMBOBOX", L"",
                                   childStyle | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                   {110, 30, 160, 200}, Theme::explorer);
    owner->browseButton = makeControl(parentWindow, instance, controlId::browseButton, L"BUTTON", L"...",
                                      childStyle | WS_TABSTOP, {280, 30, 30, 25}, Theme::off);
}

void ControlFactory::createScenarioRow(HWND parentWindow, HINSTANCE instance)
{
    makeControl(parentWindow, instance, controlId::scenarioLabel, L"STATIC", L"恢复场景 ", childStyle,
                {330, 32, 80, 20});
    owner->scenarioCombo = makeControl(parentWindow, instance, controlId::scenarioCombo, L"COMBOBOX", L"",
                                       childStyle | WS_TABSTOP | CBS_DROPDOWNLIST, {410, 30, 200, 100},
                                       Theme::explorer);
}

void ControlFactory::createFileTypeRow(HWND parentWindow, HINSTANCE instance)
{
    makeControl(parentWindow, instance, controlId::fileTypeLabel, L"STATIC", L"文件类型 ", childStyle,
                {30, 62, 80, 20});
    for (int i = 0; i < categoryBoxCount; ++i) {
        makeControl(parentWindow, instance, controlId::firstCategoryBox + i, L"BUTTON", checkboxLabels[i],
                    childStyle | WS_TABSTOP | BS_AUTOCHECKBOX, {110 + 70 * i, 62, 70, 20});
    }
}

void ControlFactory::createActionButtons(HWND parentWindow, HINSTANCE instance)
{
    owner->scanButton = makeControl(parentWindow, instance, controlId::scanButton, L"BUTTON", L"",
                                    childStyle | BS_BITMAP, {640, 20, 100, 30});
    if (owner->scanButton) {
        owner->updateScanButton(false);
        SetWindowTheme(owner->scanButton, L"", nullptr);
    }
    owner->recoverButton = makeControl(parentWindow, instance, controlId::recoverButton, L"BUTTON",
                                       L"恢复选中文件", childStyle, {640, 61, 100, 30}, Theme::off);
}

void ControlFactory::createDepthRow(HWND parentWindow, HINSTANCE instance)
{
    makeControl(parentWindow, instance, controlId::depthGroup, L"BUTTON", L"", childStyle | BS_GROUPBOX,
                {10, 95, 420, 80});
    makeControl(parentWindow, instance, controlId::depthLabel, L"STATIC", L"扫描深度", childStyle,
                {20, 108, 60, 18});
    owner->depthCombo = makeControl(parentWindow, instance, controlId::depthCombo, L"COMBOBOX", L"",
                                    childStyle | WS_TABSTOP | CBS_DROPDOWNLIST, {85, 105, 80, 100},
                                    Theme::explorer);
    if (owner->depthCombo) {
        for (const wchar_t* item : depthItems) {
            SendMessageW(owner->depthCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        SendMessageW(owner->depthCombo, CB_SETCURSEL, 0, 0);
    }
}

void ControlFactory::createSearchRow(HWND parentWindow, HINSTANCE instance)
{
    makeControl(parentWindow, instance, controlId::searchLabel, L"STATIC", L"搜索文件 ", childStyle,
                {20, 135, 80, 20});
    owner->searchEdit = makeControl(parentWindow, instance, controlId::searchEdit, L"EDIT", L"",
                                    childStyle | ES_AUTOHSCROLL | ES_WANTRETURN, {100, 133, 140, 25},
                                    Theme::off, WS_EX_CLIENTEDGE);
    makeControl(parentWindow, instance, controlId::searchHint, L"STATIC", L"支持通配符查找 (如 *.txt, *.jpg) ",
                childStyle, {260, 135, 240, 20});
}

void ControlFactory::createTabs(HWND parentWindow, HINSTANCE instance)
{
    owner->tabControl = makeControl(parentWindow, instance, controlId::tabControl, WC_TABCONTROLW, L"",
                                    childStyle | WS_CLIPSIBLINGS | TCS_FOCUSNEVER | TCS_OWNERDRAWFIXED |
                                        TCS_FLATBUTTONS,
                                    {20, 165, 500, 30}, Theme::explorer);
    if (!owner->tabControl) {
        return;
    }
    for (int i = 0; i < tabCount; ++i) {
        TCITEMW tie = {};
        tie.mask = TCIF_TEXT;
        tie.pszText = const_cast<wchar_t*>(tabNames[i]);
        SendMessageW(owner->tabControl, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tie));
    }
}

void ControlFactory::createListViews(HWND parentWindow, HINSTANCE instance)
{
    owner->listViews.resize(tabCount);
    for (int i = 0; i < tabCount; ++i) {
        const DWORD visible = i == 0 ? WS_VISIBLE : 0;
        HWND list = makeControl(parentWindow, instance, controlId::firstListView + i, WC_LISTVIEWW, L"",
                                WS_CHILD | LVS_REPORT | visible, {20, 220, 500, 330}, Theme::explorer);
        owner->listViews[i] = list;
        if (!list) {
            continue;
        }
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
        for (int j = 0; j < static_cast<int>(columns.size()); ++j) {
            LVCOLUMNW lvc = {};
            lvc.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            lvc.cx = columns[j].width;
            lvc.pszText = const_cast<wchar_t*>(columns[j].name);
            lvc.iSubItem = j;
            SendMessageW(list, LVM_INSERTCOLUMNW, j, reinterpret_cast<LPARAM>(&lvc));
        }
    }
    owner->currentList = owner->listViews[0];

    // The views keep their own address in their windows: the list is sized once, before any is created.
    owner->emptyStateViews.resize(tabCount);
    for (EmptyStateView& view : owner->emptyStateViews) {
        view.create(parentWindow, instance, 20, 220, 500, 330);
        view.hide();
    }
}

void ControlFactory::createBottomBar(HWND parentWindow, HINSTANCE instance)
{
    owner->bottomBar = makeControl(parentWindow, instance, controlId::bottomBar, L"BottomBarClass", L"",
                                   childStyle, {0, 0, 700, 30});
    owner->statusText = makeControl(parentWindow, instance, controlId::statusText, L"STATIC", L" 准备就绪",
                                    childStyle | SS_NOTIFY, {20, 6, 400, 20}, Theme::off);
    owner->progressBar = makeControl(parentWindow, instance, controlId::progressBar, PROGRESS_CLASSW, L"",
                                     WS_CHILD | PBS_SMOOTH | PBS_SMOOTHREVERSE, {430, 5, 270, 20});

    // Both lie over the bottom bar, which was created before them.
    HWND progress = owner->progressBar;
    HWND status = owner->statusText;
    if (progress) {
        SetWindowPos(progress, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    if (status) {
        SetWindowPos(status, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    if (progress) {
        // Without visual styles the bar takes its own colours.
        SetWindowTheme(progress, L"", L"");
        SendMessageW(progress, PBM_SETBARCOLOR, 0, uiColor::accent);
        SendMessageW(progress, PBM_SETBKCOLOR, 0, uiColor::progressBackground);
    }
    if (status) {
        SetWindowLongPtrW(status, GWL_EXSTYLE, GetWindowLongPtrW(status, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    }
    if (progress) {
        SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
        SendMessageW(progress, PBM_SETSTEP, 1, 0);
        SendMessageW(progress, PBM_SETPOS, 0, 0);
    }
}

void ControlFactory::applyFont(HWND parentWindow, HFONT font)
{
    if (!font) {
        return;
    }
    const auto setFont = [font](HWND control) {
        if (control) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
    };
    for (int id : groupBoxIds) {
        setFont(GetDlgItem(parentWindow, id));
    }
    for (int id : labelIds) {
        setFont(GetDlgItem(parentWindow, id));
    }
    setFont(owner->pathCombo);
    setFont(owner->scenarioCombo);
    setFont(owner->depthCombo);
    setFont(owner->scanButton);
    setFont(owner->recoverButton);
    setFont(owner->browseButton);
    for (int i = 0; i < categoryBoxCount; ++i) {
        setFont(GetDlgItem(parentWindow, controlId::firstCategoryBox + i));
    }
    setFont(owner->searchEdit);
    setFont(owner->tabControl);
    for (HWND list : owner->listViews) {
        setFont(list);
    }
    setFont(owner->statusText);
}
