#include "device_notification.h"

#include "debug_output.h"
#include "main_window.h"

#include <dbt.h>

void DeviceNotificationHandle::registerNotification(HWND recipient)
{
    // A whole, zeroed volume record: the size it declares is the size the system may read.
    DEV_BROADCAST_VOLUME notificationFilter = {};
    notificationFilter.dbcv_size = sizeof(notificationFilter);
    notificationFilter.dbcv_devicetype = DBT_DEVTYP_VOLUME;

    handle.reset(RegisterDeviceNotificationW(recipient, &notificationFilter, DEVICE_NOTIFY_WINDOW_HANDLE));
    debugLine(handle ? L"Device notification registered successfully\n"
                     : L"Failed to register device notification\n");
}

void DeviceNotificationHandle::unregisterNotification()
{
    handle.reset();
}

void DeviceNotificationHandle::onDeviceChange(WPARAM event, LPARAM eventData, MainWindow& mainWindow)
{
    debugLine(L"WM_DEVICECHANGE received: wParam=0x%X\n", static_cast<unsigned>(event));
    if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || eventData == 0) {
        return;
    }
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(eventData);
    debugLine(L"Device change: type=%d\n", static_cast<int>(header->dbch_devicetype));
    if (header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
        debugLine(L"Volume device detected, updating device list\n");
        mainWindow.populateDrives();
    }
}
