#include "debug_capture.h"
#include "dialog_watcher.h"
#include "program_entry.h"
#include "temp_folder.h"
#include "unique_handle.h"
#include "window_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <utility>

namespace {

constexpr const wchar_t* mutexName = L"Quorvane_SingleInstance_Mutex_2026";
constexpr const wchar_t* mainClass = L"QuorvaneWindowClass";
const std::wstring offerText =
    L"建议以管理员权限运行此应用程序，以便获取更准确的扫描进度信息。\n\n是否以管理员权限重新启动？";
const std::wstring relaunchFailedText = L"无法以管理员权限启动应用程序，将以普通权限继续运行。";

bool nameIsFree()
{
    KernelHandle probe(CreateMutexW(nullptr, FALSE, mutexName));
    return probe && GetLastError() != ERROR_ALREADY_EXISTS;
}

// Answers the elevation offer with `offerAnswer` and any other box with OK.
DialogWatcher::Responder answerOffer(int offerAnswer)
{
    return [offerAnswer](const SeenDialog& dialog) {
        return DialogAnswer{dialog.caption == L"权限提示" ? offerAnswer : IDOK, {}};
    };
}

} // namespace

TEST(ProgramEntry, AnAdministratorSeesNoOfferAndEndsWithZeroWhenClosed)
{
    int relaunches = 0;
    DialogWatcher watcher([](const SeenDialog&) { return DialogAnswer{IDOK, {}}; });
    WindowCloser closer(mainClass);
    const int exitCode = runProgram(GetModuleHandleW(nullptr), {[] { return true; }, [&] { ++relaunches; return true; }});

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(closer.closed());
    EXPECT_TRUE(watcher.dialogs().empty());
    EXPECT_EQ(relaunches, 0);
    EXPECT_TRUE(nameIsFree());
}

TEST(ProgramEntry, DecliningTheOfferGoesOn)
{
    int relaunches = 0;
    DialogWatcher watcher(answerOffer(IDNO));
    WindowCloser closer(mainClass);
    const int exitCode =
        runProgram(GetModuleHandleW(nullptr), {[] { return false; }, [&] { ++relaunches; return true; }});

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(closer.closed());
    const auto dialogs = watcher.dialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].caption, L"权限提示");
    EXPECT_EQ(dialogs[0].text, offerText);
    EXPECT_EQ(relaunches, 0);
}

TEST(ProgramEntry, AStartedElevatedCopyEndsThisOneWithZero)
{
    int relaunches = 0;
    bool freeDuringRelaunch = false;
    DialogWatcher watcher(answerOffer(IDYES));
    WindowCloser closer(mainClass);
    const int exitCode = runProgram(GetModuleHandleW(nullptr), {[] { return false; }, [&] {
                                                                    ++relaunches;
                                                                    freeDuringRelaunch = nameIsFree();
                                                                    return true;
                                                                }});

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(relaunches, 1);
    EXPECT_TRUE(freeDuringRelaunch);   // the elevated copy can take the name
    EXPECT_FALSE(closer.closed());     // no main window was made
    EXPECT_EQ(watcher.dialogs().size(), 1u);
    EXPECT_TRUE(nameIsFree());
}

TEST(ProgramEntry, AFailedRelaunchSaysSoAndGoesOnUnelevated)
{
    bool freeDuringRelaunch = false;
    bool freeWhileRunning = true;
    DialogWatcher watcher(answerOffer(IDYES));
    WindowCloser closer(mainClass, [&](HWND) { freeWhileRunning = nameIsFree(); });
    const int exitCode = runProgram(GetModuleHandleW(nullptr), {[] { return false; }, [&] {
                                                                    freeDuringRelaunch = nameIsFree();
                                                                    return false;
                                                                }});

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(freeDuringRelaunch);
    EXPECT_TRUE(closer.closed());
    EXPECT_FALSE(freeWhileRunning);   // the single-instance name was taken again
    const auto dialogs = watcher.dialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].caption, L"权限提示");
    EXPECT_EQ(dialogs[1].caption, L"错误");
    EXPECT_EQ(dialogs[1].text, relaunchFailedText);
    EXPECT_TRUE(nameIsFree());
}

TEST(ProgramEntry, AFailedRelaunchWhileAnotherCopyTookTheNameEndsQuietly)
{
    KernelHandle otherCopy;
    DialogWatcher watcher(answerOffer(IDYES));
    WindowCloser closer(mainClass);
    const int exitCode = runProgram(GetModuleHandleW(nullptr), {[] { return false; }, [&] {
                                                                    otherCopy.reset(CreateMutexW(nullptr, TRUE, mutexName));
                                                                    return false;
                                                                }});

    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(closer.closed());
    EXPECT_EQ(watcher.dialogs().size(), 2u);
    ASSERT_TRUE(otherCopy);
    ReleaseMutex(otherCopy.get());
}

TEST(ProgramEntry, ASecondStartWithoutAWindowEndsSilentlyWithZero)
{
    KernelHandle firstInstance(CreateMutexW(nullptr, TRUE, mutexName));
    ASSERT_TRUE(firstInstance);
    int checks = 0;
    DialogWatcher watcher([](const SeenDialog&) { return DialogAnswer{IDOK, {}}; });
    const int exitCode = runProgram(GetModuleHandleW(nullptr), {[&] { ++checks; return false; }, [] { return true; }});

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(checks, 0);
    EXPECT_TRUE(watcher.dialogs().empty());
    ReleaseMutex(firstInstance.get());
}

TEST(ProgramEntry, AThreadAlreadyInAnotherApartmentGoesOnWithoutComAndLeavesItAlone)
{
    DebugCapture debug;
    int exitCode = -1;
    HRESULT afterwards = E_FAIL;
    std::thread uiThread([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        WindowCloser closer(mainClass);
        exitCode = runProgram(GetModuleHandleW(nullptr), {[] { return true; }, [] { return true; }});
        // Still in the multithreaded apartment: the start-up did not leave what it never joined.
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
        CoUninitialize();
    });
    uiThread.join();

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(afterwards, S_FALSE);
    EXPECT_EQ(debug.countOf(L"Failed to initialize COM: 0x80010106\n"), 1u);
}

namespace {

// A started Quorvane.exe, ended when the test is done with it whatever the outcome, so that no
// copy is left holding the single-instance name for the tests after it.
struct StartedProgram {
    StartedProgram() = default;
    StartedProgram(KernelHandle process, DWORD id) : process(std::move(process)), id(id) {}
    StartedProgram(StartedProgram&&) = default;
    StartedProgram& operator=(StartedProgram&&) = default;
    ~StartedProgram()
    {
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), 60000);
        }
    }

    KernelHandle process;
    DWORD id = 0;
};

// Polls an observable condition until it holds; false when it still does not after the time-out.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

StartedProgram startQuorvane()
{
    const std::wstring exe = besideTestProgram(QUORVANE_EXE_RELATIVE);
    const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    // Its working directory holds assets\, as for a user who starts it from its folder.
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &started)) {
        return {};
    }
    CloseHandle(started.hThread);
    return {KernelHandle(started.hProcess), started.dwProcessId};
}

HWND waitForMainWindow(DWORD processId)
{
    HWND window = nullptr;
    waitUntil([&] { return (window = findProcessWindow(mainClass, processId)) != nullptr; });
    return window;
}

DWORD exitCodeAfterWaiting(const KernelHandle& process)
{
    if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.get(), &exitCode);
    return exitCode;
}

} // namespace

TEST(QuorvaneProgram, ASecondStartRestoresTheFirstWindowAndTheFirstClosesWithZero)
{
    StartedProgram first = startQuorvane();
    ASSERT_TRUE(first.process);
    // Without administrator rights the program first offers to restart elevated: decline.
    DialogWatcher offer(answerOffer(IDNO), first.id);
    HWND window = waitForMainWindow(first.id);
    ASSERT_NE(window, nullptr);

    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));

    StartedProgram second = startQuorvane();
    ASSERT_TRUE(second.process);
    EXPECT_EQ(exitCodeAfterWaiting(second.process), 0u);
    EXPECT_TRUE(waitUntil([&] { return !IsIconic(window); }));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(findProcessWindow(mainClass, second.id), nullptr);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(exitCodeAfterWaiting(first.process), 0u);
}

TEST(QuorvaneProgram, ANewcomerScansAFolderSeesItsFilesAndClosesTheWindow)
{
    TempFolder folder;
    folder.writeFile(L"letter.doc", "l");
    folder.writeFile(L"holiday\\beach.jpg", "b");
    folder.writeFile(L"notes.txt", "n");

    StartedProgram program = startQuorvane();
    ASSERT_TRUE(program.process);
    DialogWatcher boxes(answerOffer(IDNO), program.id);
    HWND window = waitForMainWindow(program.id);
    ASSERT_NE(window, nullptr);

    // Typed into the location box, then the Scan button pressed.
    const std::wstring location = folder.path();
    SendMessageW(GetDlgItem(window, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(location.c_str()));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(104, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, 104)));

    const auto scanFinished = [&] {
        const auto seen = boxes.dialogs();
        return std::any_of(seen.begin(), seen.end(), [](const SeenDialog& box) { return box.text == L"扫描完成！"; });
    };
    for (size_t count = 1; count <= 3 && !scanFinished(); ++count) {
        boxes.waitForDialogs(count);
    }
    ASSERT_TRUE(scanFinished());
    // The box is on record before it is answered; the window is closed only once it has gone.
    EXPECT_TRUE(waitUntil([&] { return findProcessWindow(L"#32770", program.id) == nullptr; }));

    wchar_t status[64] = {};
    SendMessageW(GetDlgItem(window, 118), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(status));
    EXPECT_STREQ(status, L"扫描完成！");
    EXPECT_EQ(SendMessageW(GetDlgItem(window, 200), LVM_GETITEMCOUNT, 0, 0), 3);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(exitCodeAfterWaiting(program.process), 0u);
}
