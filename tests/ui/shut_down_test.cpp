#include "dialog_watcher.h"
#include "main_window.h"
#include "program_entry.h"
#include "scan_messages.h"
#include "stream_capture.h"
#include "temp_folder.h"
#include "unique_handle.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>

namespace {

constexpr const wchar_t* mutexName = L"Quorvane_SingleInstance_Mutex_2026";
constexpr const wchar_t* mainClass = L"QuorvaneWindowClass";
constexpr auto shutDownLimit = std::chrono::seconds(60);
const std::string stopLine = "收到停止请求，退出扫描";

// Runs the body on a thread of its own, so that a shut-down that hangs fails the test rather than
// stopping the suite. Joined when the body ends in time; a body that never ends cannot be ended
// from here, and is left to the end of the process.
class ThreadOfItsOwn {
public:
    explicit ThreadOfItsOwn(std::function<void()> body)
        : ended(done.get_future()), thread([this, body = std::move(body)] {
              body();
              done.set_value();
          })
    {
    }
    ~ThreadOfItsOwn()
    {
        if (!gaveUp && endsWithin(shutDownLimit)) {
            thread.join();
        } else {
            thread.detach();
        }
    }
    ThreadOfItsOwn(const ThreadOfItsOwn&) = delete;
    ThreadOfItsOwn& operator=(const ThreadOfItsOwn&) = delete;

    bool endsWithin(std::chrono::seconds limit)
    {
        gaveUp = ended.wait_for(limit) != std::future_status::ready;
        return !gaveUp;
    }

private:
    bool gaveUp = false;
    std::promise<void> done;
    std::future<void> ended;
    std::thread thread;
};

bool nameIsFree()
{
    KernelHandle probe(CreateMutexW(nullptr, FALSE, mutexName));
    return probe && GetLastError() != ERROR_ALREADY_EXISTS;
}

// Whether the single-instance name was still held when the window was destroyed: the program
// releases it after GDI+ has shut down.
std::atomic<HWND> watchedWindow{nullptr};
std::atomic<int> nameHeldAtDestroy{-1};

LRESULT CALLBACK recordDestroy(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && sent->message == WM_DESTROY && sent->hwnd == watchedWindow.load()) {
        nameHeldAtDestroy.store(nameIsFree() ? 0 : 1);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class DestroyWatch {
public:
    DestroyWatch(HWND window, DWORD threadId)
    {
        nameHeldAtDestroy.store(-1);
        watchedWindow.store(window);
        hook = SetWindowsHookExW(WH_CALLWNDPROC, recordDestroy, nullptr, threadId);
    }
    ~DestroyWatch()
    {
        if (hook) {
            UnhookWindowsHookEx(hook);
        }
        watchedWindow.store(nullptr);
    }
    DestroyWatch(const DestroyWatch&) = delete;
    DestroyWatch& operator=(const DestroyWatch&) = delete;

    bool watching() const { return hook != nullptr; }

private:
    HHOOK hook = nullptr;
};

HWND waitForMainWindow()
{
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (GetTickCount64() < deadline) {
        if (HWND window = findProcessWindow(mainClass, GetCurrentProcessId())) {
            return window;
        }
        Sleep(20);
    }
    return nullptr;
}

LPARAM scanButton(HWND main)
{
    return reinterpret_cast<LPARAM>(GetDlgItem(main, 104));
}

class ShutDownTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tree = new TempFolder;
        writeQueueFillingTree(*tree);
    }
    static void TearDownTestSuite()
    {
        delete tree;
        tree = nullptr;
    }

    static TempFolder* tree;
};

TempFolder* ShutDownTest::tree = nullptr;

} // namespace

TEST_F(ShutDownTest, AMessageLoopThatEndsWithTheWindowStandingStopsTheScanAndTakesTheWindowDownFirst)
{
    StreamCapture capture;
    DialogWatcher boxes([](const SeenDialog&) { return DialogAnswer{IDOK, {}}; });
    int exitCode = -1;
    ThreadOfItsOwn program(
        [&] { exitCode = runProgram(GetModuleHandleW(nullptr), {[] { return true; }, [] { return true; }}); });
    HWND main = waitForMainWindow();
    ASSERT_NE(main, nullptr);
    DestroyWatch watch(main, GetWindowThreadProcessId(main, nullptr));
    ASSERT_TRUE(watch.watching());

    const std::wstring location = tree->path();
    SendMessageW(GetDlgItem(main, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(location.c_str()));
    // The Scan button, then at once a quit the window did not post: the loop ends while the window
    // stands and its worker scans on, its finds queued for a loop that is over.
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(104, BN_CLICKED), scanButton(main));
    ASSERT_TRUE(PostThreadMessageW(GetWindowThreadProcessId(main, nullptr), WM_QUIT, 0, 0));

    ASSERT_TRUE(program.endsWithin(shutDownLimit));
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(IsWindow(main));
    // Taken down before the shut-down steps (GDI+ first), not by the MainWindow after them.
    EXPECT_EQ(nameHeldAtDestroy.load(), 1);
    EXPECT_GE(countOf(capture.outLines(), stopLine), 1u);
    EXPECT_TRUE(boxes.dialogs().empty());
}

TEST_F(ShutDownTest, AMainWindowDestroyedWhileItsWindowStandsMidScanStopsItsWorker)
{
    StreamCapture capture;
    HWND main = nullptr;
    bool findsQueued = false;
    ThreadOfItsOwn owner([&] {
        MainWindow window(GetModuleHandleW(nullptr));
        main = window.create();
        if (!main) {
            return;
        }
        SetWindowTextW(GetDlgItem(main, 101), tree->path().c_str());
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(104, BN_CLICKED), scanButton(main));
        // Nobody reads the queue from here on: the worker comes to wait for room in it.
        findsQueued = waitUntilQueued(main, WM_SCAN_FILE_FOUND);
    });

    ASSERT_TRUE(owner.endsWithin(shutDownLimit));
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(findsQueued);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_GE(countOf(capture.outLines(), stopLine), 1u);
}
