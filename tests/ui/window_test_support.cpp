#include "window_test_support.h"

#include "gdiplus_session.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstdlib>

namespace {

// What the program has set up before any window exists: GDI+, the UI thread's apartment and
// the common controls.
class WindowEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        gdiplus = new GdiplusSession;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        INITCOMMONCONTROLSEX icex = {sizeof(icex), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icex);
    }
    void TearDown() override
    {
        delete gdiplus;
        CoUninitialize();
    }

private:
    GdiplusSession* gdiplus = nullptr;
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new WindowEnvironment);

} // namespace

void pumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() > deadline) {
            return false;
        }
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        } else if (msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

RECT childRect(HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF windowPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

bool nearColor(COLORREF actual, COLORREF expected, int tolerance)
{
    return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

int listRowCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring listCell(HWND list, int row, int column)
{
    wchar_t text[512] = {};
    LVITEMW cellItem = {};
    cellItem.iSubItem = column;
    cellItem.pszText = text;
    cellItem.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cellItem));
    return text;
}

std::wstring tabTitle(HWND tabs, int tab)
{
    wchar_t text[64] = {};
    TCITEMW tabItem = {};
    tabItem.mask = TCIF_TEXT;
    tabItem.pszText = text;
    tabItem.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, tab, reinterpret_cast<LPARAM>(&tabItem));
    return text;
}

int listRowNamed(HWND list, const std::wstring& name)
{
    for (int row = 0; row < listRowCount(list); ++row) {
        if (listCell(list, row, 0) == name) {
            return row;
        }
    }
    return -1;
}

std::wstring besideTestProgram(const std::wstring& name)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

HiddenFile::HiddenFile(std::wstring path) : path(std::move(path))
{
    moved = MoveFileExW(this->path.c_str(), (this->path + L".hidden").c_str(), MOVEFILE_REPLACE_EXISTING);
}

HiddenFile::~HiddenFile()
{
    if (moved) {
        MoveFileExW((path + L".hidden").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

OpenMainWindow::~OpenMainWindow()
{
    if (IsWindow(main)) {
        DestroyWindow(main);
    }
    pumpMessages();
}

HWND OpenMainWindow::create()
{
    main = window.create();
    return main;
}

HostWindow::HostWindow(int width, int height)
{
    window = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    pumpMessages();
}

HostWindow::~HostWindow()
{
    DestroyWindow(window);
    pumpMessages();
}

bool waitUntilQueued(HWND window, UINT message, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    MSG queued;
    while (!PeekMessageW(&queued, window, message, message, PM_NOREMOVE)) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(5);
    }
    return true;
}

void writeQueueFillingTree(TempFolder& folder)
{
    for (int i = 0; i < queueFillingFiles; ++i) {
        folder.writeFile(L"d" + std::to_wstring(i / 100) + L"\\f" + std::to_wstring(i) + L".txt");
    }
}
