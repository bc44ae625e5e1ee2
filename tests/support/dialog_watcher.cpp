#include "dialog_watcher.h"

#include <commctrl.h>
#include <shlobj.h>

#include <chrono>

namespace {

struct WindowSearch {
    const wchar_t* className;
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && IsWindowVisible(window) && lstrcmpW(className, search->className) == 0) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> processWindows(const wchar_t* className, DWORD processId)
{
    WindowSearch search{className, processId, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring windowText(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

BOOL CALLBACK findTree(HWND window, LPARAM data)
{
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, WC_TREEVIEWW) != 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

std::wstring selectedTreeItem(HWND dialog)
{
    HWND tree = nullptr;
    EnumChildWindows(dialog, findTree, reinterpret_cast<LPARAM>(&tree));
    if (!tree) {
        return {};
    }
    wchar_t text[MAX_PATH] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (!item.hItem || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return {};
    }
    return text;
}

// A folder dialog can be visible before its tree is filled; select until the tree shows it.
void selectFolder(HWND dialog, const std::wstring& folder)
{
    const std::wstring leaf = folder.substr(folder.find_last_of(L"\\/") + 1);
    const ULONGLONG deadline = GetTickCount64() + 30000;
    do {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        if (selectedTreeItem(dialog) == leaf) {
            return;
        }
        Sleep(25);
    } while (GetTickCount64() < deadline);
}

} // namespace

HWND findProcessWindow(const wchar_t* className, DWORD processId)
{
    const auto windows = processWindows(className, processId);
    return windows.empty() ? nullptr : windows.front();
}

DialogWatcher::DialogWatcher(Responder responder, DWORD processId)
    : responder(std::move(responder)), processId(processId), thread([this] { run(); })
{
}

DialogWatcher::~DialogWatcher()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

bool DialogWatcher::waitForDialogs(size_t count, DWORD timeoutMs)
{
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return seen.size() >= count; });
}

std::vector<SeenDialog> DialogWatcher::dialogs() const
{
    std::lock_guard<std::mutex> guard(lock);
    return seen;
}

void DialogWatcher::run()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(lock);
            if (changed.wait_for(guard, std::chrono::milliseconds(20), [this] { return stopping; })) {
                return;
            }
            // A closed dialog's handle may come back for a later one.
            for (auto it = answered.begin(); it != answered.end();) {
                it = IsWindow(*it) ? std::next(it) : answered.erase(it);
            }
        }
        for (HWND dialog : processWindows(L"#32770", processId)) {
            answer(dialog);
        }
    }
}

void DialogWatcher::answer(HWND dialog)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        if (answered.count(dialog) != 0) {
            return;
        }
        answered.insert(dialog);
    }
    SeenDialog found;
    found.caption = windowText(dialog);
    if (HWND message = GetDlgItem(dialog, 0xFFFF)) {
        found.text = windowText(message);
    }
    // Recorded before it is answered: whoever waits for the dialog to close finds it recorded.
    {
        std::lock_guard<std::mutex> guard(lock);
        seen.push_back(found);
    }
    changed.notify_all();
    const DialogAnswer reply = responder(found);
    if (!reply.selectFolder.empty()) {
        selectFolder(dialog, reply.selectFolder);
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(reply.command, BN_CLICKED), 0);
}

WindowCloser::WindowCloser(std::wstring className, std::function<void(HWND)> whenShown)
    : className(std::move(className)), whenShown(std::move(whenShown)), thread([this] {
          while (!stopping) {
              if (HWND window = findProcessWindow(this->className.c_str(), GetCurrentProcessId())) {
                  if (this->whenShown) {
                      this->whenShown(window);
                  }
                  // Set before the close, which may end the caller's wait at once.
                  closedWindow = true;
                  PostMessageW(window, WM_CLOSE, 0, 0);
                  return;
              }
              Sleep(20);
          }
      })
{
}

WindowCloser::~WindowCloser()
{
    stopping = true;
    thread.join();
}
