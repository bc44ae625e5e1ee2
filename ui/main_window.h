#pragma once

#include "control_factory.h"
#include "device_notification.h"
#include "empty_state_view.h"
#include "gdi_handles.h"
#include "list_redraw_hold.h"
#include "recovery_controller.h"
#include "recovery_engine.h"
#include "scan_worker.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// The application object: the main window, its controls, fonts, icons and brushes, the
// engine and the scan worker's thread. Bound to its window through GWLP_USERDATA.
class MainWindow {
public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Registers the class, creates and shows the window with its controls; null on failure.
    HWND create();
    HWND window() const { return hwnd; }
    // Destroys the main window when it still stands, as closing it does: a running scan is stopped
    // and joined, and the window's pictures are freed.
    void destroyWindow();

    // Refills the location box with the current drives and selects the first.
    void populateDrives();

private:
    friend class ControlFactory;
    // Lets tests reach states the window cannot be put in from outside, such as an engine whose
    // start-up failed.
    friend struct MainWindowTestAccess;

    static LRESULT CALLBACK wndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void onDestroy();
    void onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onGetMinMaxInfo(MINMAXINFO* info);
    void chooseFolder();

    // Layout and colours.
    LRESULT onSize(HWND window);
    HBRUSH onCtlColorStatic(HDC dc, HWND control);
    BOOL onDrawItem(const DRAWITEMSTRUCT* item);
    void populateScenarios();

    // The Scan button's painted face: the start picture and "扫描", or the stop picture and "停止".
    void updateScanButton(bool scanning);
    void releaseScanButtonFace();

    // Scan start and stop, on the UI thread; the scan itself runs on scanThread.
    void startScan();
    void stopScan();
    std::vector<std::string> tickedCategories() const;
    std::string readLocation(LRESULT locationSelection) const;
    bool checkLocation(const std::string& devicePath) const;
    void resetForScan();
    void joinScanWorker();
    ScanTarget scanTarget();
    void discardStaleScanMessages();

    // The worker's messages, the progress bar and the status text.
    LRESULT onScanMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void onScanSummary(int filesFound);
    void returnToIdle();
    void endScan(bool stopped);
    void endFailedScan();
    void setProgressMarquee(bool marquee);
    void setProgress(int position);
    void setStatusText(const std::wstring& text);
    void setProgressStep(int step);
    void stepProgress(int count);

    // Result lists and tabs.
    void addFileToList(const FileInfo& file);
    void updateTabTitles(bool evenIfRecent = false);
    void updateTabView();
    void showEmptyState(bool show);
    LRESULT onNotify(const NMHDR* notice);
    void showTabPane(int selected);
    void holdListRedraw();
    void releaseListRedraw();
    void drawShownListSoon();
    void drawShownList();
    void stopListRedrawTimer();
    void onTimer(UINT_PTR timer);
    int selectedTab() const;

    // Search and recovery of ticked files.
    void applySearchFilter();
    void onRecoveryStatus(const std::wstring& line);

    HINSTANCE hInstance;
    HWND hwnd = nullptr;
    HWND pathCombo = nullptr;
    HWND scenarioCombo = nullptr;
    HWND scanButton = nullptr;
    HWND recoverButton = nullptr;
    HWND currentList = nullptr;   // the list the recover command and the search act on
    HWND progressBar = nullptr;
    HWND statusText = nullptr;
    GdiFont uiFont;
    HWND searchEdit = nullptr;
    HWND tabControl = nullptr;
    HWND bottomBar = nullptr;
    HWND depthCombo = nullptr;
    HWND browseButton = nullptr;
    IconHandle largeIcon;
    IconHandle smallIcon;
    GdiBrush whiteBrush;
    GdiBrush panelBrush;
    DeviceNotificationHandle deviceNotification;
    RecoveryController recoveryController;
    ControlFactory controlFactory;
    std::vector<EmptyStateView> emptyStateViews;   // one per tab; never resized once created
    std::vector<HWND> listViews;                    // one per tab, IDs 200 to 208
    RecoveryEngine engine;
    std::thread scanThread;
    std::atomic<bool> isScanning{false};
    std::atomic<bool> stopRequested{false};   // read by the engine through its address
    std::atomic<bool> workerPostsAbandoned{false};   // set while this thread waits for the worker to end
    std::atomic<int> queuedFiles{0};   // found files the worker posted that this thread has not taken yet
    ListRedrawHold listRedraw;         // the result lists' drawing, held while found files wait
    DWORD lastListRedrawTick = 0;      // when the shown list last drew its held rows
    bool listRedrawTimerSet = false;
    std::vector<FileInfo> results;            // every file received during the current scan
};
