#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// A dialog box (#32770) of this process as the watcher found it.
struct SeenDialog {
    std::wstring caption;
    std::wstring text;   // the message of a message box (static 0xFFFF); empty for other dialogs
};

// How to answer one dialog: the command posted to it, and for a folder dialog the folder to
// select first.
struct DialogAnswer {
    int command = IDCANCEL;
    std::wstring selectFolder;
};

// A thread that finds the dialog boxes of a process (this one unless told) while it runs,
// records caption and text, and then answers each once with what the responder says, so that a
// dialog is on record by the time it closes. Stops and joins when destroyed.
class DialogWatcher {
public:
    using Responder = std::function<DialogAnswer(const SeenDialog&)>;

    explicit DialogWatcher(Responder responder, DWORD processId = GetCurrentProcessId());
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Waits until at least `count` dialogs were seen; false on time-out.
    bool waitForDialogs(size_t count, DWORD timeoutMs = 30000);
    std::vector<SeenDialog> dialogs() const;

private:
    void run();
    void answer(HWND dialog);

    Responder responder;
    DWORD processId;
    mutable std::mutex lock;
    std::condition_variable changed;
    std::vector<SeenDialog> seen;
    std::set<HWND> answered;
    bool stopping = false;
    std::thread thread;
};

// Posts WM_CLOSE to this process's first window of the class once it is shown, after calling
// `whenShown` with it. Stops and joins when destroyed.
class WindowCloser {
public:
    explicit WindowCloser(std::wstring className, std::function<void(HWND)> whenShown = {});
    ~WindowCloser();
    WindowCloser(const WindowCloser&) = delete;
    WindowCloser& operator=(const WindowCloser&) = delete;

    bool closed() const { return closedWindow.load(); }

private:
    std::wstring className;
    std::function<void(HWND)> whenShown;
    std::atomic<bool> stopping{false};
    std::atomic<bool> closedWindow{false};
    std::thread thread;
};

// The first visible top-level window of the class owned by the given process, or null.
HWND findProcessWindow(const wchar_t* className, DWORD processId);
