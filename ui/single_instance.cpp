#include "single_instance.h"

#include <cwchar>

namespace {

constexpr const wchar_t* mutexName = L"Quorvane_SingleInstance_Mutex_2026";
constexpr const wchar_t* mainClassName = L"QuorvaneWindowClass";

HWND foundWindow = nullptr;

} // namespace

OwnedMutex claimSingleInstance()
{
    KernelHandle mutex(CreateMutexW(nullptr, TRUE, mutexName));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        return {};   // a handle to someone else's mutex is closed, never released
    }
    return OwnedMutex(mutex.release());
}

void activateRunningInstance()
{
    HWND window = FindWindowW(mainClassName, nullptr);
    if (!window) {
        foundWindow = nullptr;
        EnumWindows(findMainWindowProc, 0);
        window = foundWindow;
    }
    if (!window) {
        return;
    }
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

BOOL CALLBACK findMainWindowProc(HWND window, LPARAM)
{
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    if (std::wcscmp(className, mainClassName) == 0) {
        foundWindow = window;
        return FALSE;
    }
    return TRUE;
}
