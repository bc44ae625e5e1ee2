#pragma once

#include "main_window.h"
#include "scan_messages.h"
#include "temp_folder.h"

#include <windows.h>

#include <functional>
#include <string>

// Handles every message already queued for this thread, painting included. A WM_QUIT that a
// destroyed main window posted is taken out too, so the next test starts with an empty queue.
void pumpMessages();

// Handles this thread's messages one at a time until the condition holds; false when it still
// does not after the time-out.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000);

// Waits, handling nothing, until a message of the kind is queued for the window of this thread;
// false when none is after the time-out.
bool waitUntilQueued(HWND window, UINT message, DWORD timeoutMs = 30000);

// More files than the window's queue holds found files: while the test takes nothing from the
// queue, a scan of them waits at that bound and cannot end before the test acts.
constexpr int queueFillingFiles = maxQueuedFiles + 500;
void writeQueueFillingTree(TempFolder& folder);

// The control's rectangle in its parent's client coordinates.
RECT childRect(HWND control);

// A pixel of a window as it is on the screen.
COLORREF windowPixel(HWND window, int x, int y);

// True when every channel differs by at most `tolerance`.
bool nearColor(COLORREF actual, COLORREF expected, int tolerance = 3);

// A report list view's rows as the user reads them: the count, one cell's text, and the first
// row whose name column holds the given text (-1 when none does).
int listRowCount(HWND list);
std::wstring listCell(HWND list, int row, int column);
int listRowNamed(HWND list, const std::wstring& name);

// The title of one tab of a tab control.
std::wstring tabTitle(HWND tabs, int tab);

// Where the picture files of a test are: the folder of this executable.
std::wstring besideTestProgram(const std::wstring& name);

// Moves a file aside for the life of the object and puts it back afterwards.
class HiddenFile {
public:
    explicit HiddenFile(std::wstring path);
    ~HiddenFile();
    HiddenFile(const HiddenFile&) = delete;
    HiddenFile& operator=(const HiddenFile&) = delete;

    bool hidden() const { return moved; }

private:
    std::wstring path;
    bool moved = false;
};

// A main window made by the test itself, destroyed with the messages it leaves whatever the
// outcome, so that no window outlives its object into the next test.
class OpenMainWindow {
public:
    OpenMainWindow() : window(GetModuleHandleW(nullptr)) {}
    ~OpenMainWindow();
    OpenMainWindow(const OpenMainWindow&) = delete;
    OpenMainWindow& operator=(const OpenMainWindow&) = delete;

    HWND create();

private:
    MainWindow window;
    HWND main = nullptr;
};

// A plain visible top-level window to hold child windows under test.
class HostWindow {
public:
    HostWindow(int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND get() const { return window; }

private:
    HWND window = nullptr;
};
