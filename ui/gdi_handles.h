#pragma once

#include "unique_handle.h"

#include <windows.h>
#include <shlobj.h>

// Owners for the window layer's handles, each with its own way of letting go.

template <typename GdiHandle>
struct GdiObjectTraits {
    using Handle = GdiHandle;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { DeleteObject(handle); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { DestroyIcon(handle); }
};

struct DeviceNotificationTraits {
    using Handle = HDEVNOTIFY;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { UnregisterDeviceNotification(handle); }
};

// A mutex this thread owns: released before its handle is closed.
struct OwnedMutexTraits {
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle)
    {
        ReleaseMutex(handle);
        CloseHandle(handle);
    }
};

struct ItemIdListTraits {
    using Handle = PIDLIST_ABSOLUTE;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { CoTaskMemFree(handle); }
};

struct SidTraits {
    using Handle = PSID;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { FreeSid(handle); }
};

using GdiFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using GdiBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using GdiBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using IconHandle = UniqueHandle<IconTraits>;
using DeviceNotification = UniqueHandle<DeviceNotificationTraits>;
using OwnedMutex = UniqueHandle<OwnedMutexTraits>;
using ItemIdList = UniqueHandle<ItemIdListTraits>;
using SidHandle = UniqueHandle<SidTraits>;
