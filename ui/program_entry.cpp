#include "program_entry.h"

#include "debug_output.h"
#include "gdiplus_session.h"
#include "main_window.h"
#include "single_instance.h"
#include "window_title.h"

#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>

namespace {

// The apartment of the UI thread; left only when joining it succeeded.
class ComApartment {
public:
    ComApartment()
    {
        const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        joined = SUCCEEDED(result);
        if (!joined) {
            debugLine(L"Failed to initialize COM: 0x%08X\n", static_cast<unsigned>(result));
        }
    }
    ~ComApartment() { leave(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    void leave()
    {
        if (joined) {
            CoUninitialize();
            joined = false;
        }
    }

private:
    bool joined = false;
};

// True when the user agreed and the elevated copy started: this instance then ends.
bool offerElevation(OwnedMutex& instanceMutex, const ElevationHooks& hooks)
{
    const int answer = MessageBoxW(nullptr,
                                   L"建议以管理员权限运行此应用程序，以便获取更准确的扫描进度信息。\n\n"
                                   L"是否以管理员权限重新启动？",
                                   L"权限提示", MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) {
        return false;
    }
    instanceMutex.reset();   // the elevated copy must be able to own it
    if (hooks.relaunchElevated()) {
        return true;
    }
    MessageBoxW(nullptr, L"无法以管理员权限启动应用程序，将以普通权限继续运行。", L"错误", MB_ICONERROR);
    instanceMutex = claimSingleInstance();
    return false;
}

// Ends on WM_QUIT with its exit code, or on a failed retrieval (then 1) instead of spinning.
int runMessageLoop()
{
    MSG msg = {};
    for (;;) {
        const BOOL result = GetMessageW(&msg, nullptr, 0, 0);
        if (result == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (result == -1) {
            return 1;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

int runProgram(HINSTANCE instance, const ElevationHooks& hooks)
{
    OwnedMutex instanceMutex = claimSingleInstance();
    if (!instanceMutex) {
        activateRunningInstance();
        return 0;
    }

    GdiplusSession gdiplus;
    if (!hooks.isAdministrator()) {
        if (offerElevation(instanceMutex, hooks)) {
            gdiplus.shutdown();
            return 0;
        }
        if (!instanceMutex) {   // another copy took the name meanwhile
            gdiplus.shutdown();
            activateRunningInstance();
            return 0;
        }
    }

    ComApartment com;
    INITCOMMONCONTROLSEX icex = {};
    icex.dwSize = sizeof(icex);
    icex.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&icex);

    const HRESULT identity = SetCurrentProcessExplicitAppUserModelID(L"Quorvane.AppID.20260203.Fixed");
    if (FAILED(identity)) {
        debugLine(L"Failed to set AppUserModelID: 0x%08X\n", static_cast<unsigned>(identity));
    }

    MainWindow mainWindow(instance);
    if (!mainWindow.create()) {
        MessageBoxW(nullptr, L"窗口创建失败!", L"错误", MB_ICONERROR);
        gdiplus.shutdown();
        return 1;
    }

    Sleep(100);
    SetWindowTextW(mainWindow.window(), windowTitle());

    const int exitCode = runMessageLoop();

    // A loop that ended on a failed retrieval left the window standing: it goes now, so that its
    // worker stops and its pictures are freed before GDI+ shuts down. The MainWindow itself goes
    // last, after GDI+.
    mainWindow.destroyWindow();
    gdiplus.shutdown();
    com.leave();
    instanceMutex.reset();
    return exitCode;
}
