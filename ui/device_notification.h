#pragma once

#include "gdi_handles.h"

#include <windows.h>

class MainWindow;

// The main window's registration for volume notifications, and its answer to them:
// a volume that arrives or leaves refills the drive list.
class DeviceNotificationHandle {
public:
    DeviceNotificationHandle() = default;
    ~DeviceNotificationHandle() { unregisterNotification(); }
    DeviceNotificationHandle(const DeviceNotificationHandle&) = delete;
    DeviceNotificationHandle& operator=(const DeviceNotificationHandle&) = delete;

    void registerNotification(HWND recipient);
    void unregisterNotification();
    void onDeviceChange(WPARAM event, LPARAM eventData, MainWindow& mainWindow);

    bool registered() const { return handle.valid(); }

private:
    DeviceNotification handle;
};
