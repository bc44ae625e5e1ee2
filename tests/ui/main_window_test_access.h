#pragma once

#include "main_window.h"

// Reaches what the window cannot be brought to, or read, from outside.
struct MainWindowTestAccess {
    // The engine as it is when its start-up failed: every scan then fails.
    static void failEngineStartUp(MainWindow& window) { window.engine = RecoveryEngine(); }
    static HWND currentList(const MainWindow& window) { return window.currentList; }
    static bool isScanning(const MainWindow& window) { return window.isScanning.load(); }
    // Found files the worker posted and the window has not taken yet.
    static int queuedFiles(const MainWindow& window) { return window.queuedFiles.load(); }
    // A scan started as the Scan button starts one, but with no worker: the caller plays the worker
    // with what this returns.
    static ScanTarget startScanWithoutWorker(MainWindow& window)
    {
        window.resetForScan();
        return window.scanTarget();
    }
    static HWND emptyStateView(const MainWindow& window, int tab) { return window.emptyStateViews.at(tab).getHwnd(); }
};
