#include "main_window.h"

#include "control_ids.h"
#include "scan_messages.h"
#include "window_title.h"

namespace {

constexpr const wchar_t* mainClassName = L"QuorvaneWindowClass";
constexpr int windowWidth = 800;
constexpr int windowHeight = 600;

} // namespace

MainWindow::MainWindow(HINSTANCE instance) : hInstance(instance)
{
    largeIcon.reset(LoadIconW(instance, MAKEINTRESOURCEW(101)));
    smallIcon.reset(LoadIconW(instance, MAKEINTRESOURCEW(102)));
    engine.initialize();
}

MainWindow::~MainWindow()
{
    // As on WM_DESTROY: a window whose message loop ended while it still stood may have a worker
    // that scans on, or waits for room in a queue that nobody reads any more.
    if (isScanning.load()) {
        stopRequested.store(true);
    }
    joinScanWorker();
    destroyWindow();
    uiFont.reset();
    deviceNotification.unregisterNotification();
    largeIcon.reset();
    smallIcon.reset();
    whiteBrush.reset();
    panelBrush.reset();
}

HWND MainWindow::create()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = wndProc;
    windowClass.hInstance = hInstance;
    windowClass.hIcon = largeIcon.get();
    windowClass.hIconSm = smallIcon.get();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = mainClassName;
    // A failed registration shows up as a failed creation below.
    RegisterClassExW(&windowClass);

    const int x = (GetSystemMetrics(SM_CXSCREEN) - windowWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - windowHeight) / 2;
    hwnd = CreateWindowExW(0, mainClassName, windowTitle(), WS_OVERLAPPEDWINDOW, x, y, windowWidth,
                           windowHeight, nullptr, nullptr, hInstance, this);
    if (hwnd) {
        createControls();
        deviceNotification.registerNotification(hwnd);
        // The first WM_SIZE comes with the first showing, when every control exists.
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

void MainWindow::destroyWindow()
{
    if (hwnd && IsWindow(hwnd)) {
        DestroyWindow(hwnd);
    }
}

void MainWindow::createControls()
{
    controlFactory.createAll(hwnd, hInstance, this);
    populateDrives();
    populateScenarios();
    updateTabView();
}

LRESULT CALLBACK MainWindow::wndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross back into the system's dispatch.
    try {
        return self->handleMessage(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT MainWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_SIZE:
        return onSize(window);
    case WM_GETMINMAXINFO:
        return onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_DRAWITEM:
        return onDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_NOTIFY:
        return onNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(onCtlColorStatic(reinterpret_cast<HDC>(wParam),
                                                          reinterpret_cast<HWND>(lParam)));
    case WM_DEVICECHANGE:
        deviceNotification.onDeviceChange(wParam, lParam, *this);
        return TRUE;
    case WM_TIMER:
        onTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_SCAN_PROGRESS_MODE:
        setProgressMarquee(wParam != FALSE);
        return 0;
    default:
        if (message >= WM_USER && message <= WM_USER + 10) {
            return onScanMessage(window, message, wParam, lParam);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void MainWindow::onDestroy()
{
    if (isScanning.load()) {
        stopRequested.store(true);
        joinScanWorker();
    }
    // Queued messages die with the window; what they carry must not.
    discardStaleScanMessages();
    releaseListRedraw();
    releaseScanButtonFace();
    PostQuitMessage(0);
}

void MainWindow::onCommand(WPARAM wParam, LPARAM)
{
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    if (id == controlId::browseButton && notification == BN_CLICKED) {
        chooseFolder();
    } else if (id == controlId::scanButton && notification == BN_CLICKED) {
        if (isScanning.load()) {
            stopScan();
        } else {
            startScan();
        }
    } else if (id == controlId::recoverButton && notification == BN_CLICKED) {
        recoveryController.recoverSelected(hwnd, currentList, engine,
                                           [this](const std::wstring& line) { onRecoveryStatus(line); });
    } else if (id == controlId::searchEdit && (notification == EN_CHANGE || notification == EN_KILLFOCUS)) {
        applySearchFilter();
    }
}

void MainWindow::onRecoveryStatus(const std::wstring& line)
{
    setStatusText(line);
}

LRESULT MainWindow::onGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = windowWidth;
    info->ptMinTrackSize.y = windowHeight;
    return 0;
}
