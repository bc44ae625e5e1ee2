#pragma once

#include "dialog_watcher.h"
#include "main_window.h"
#include "main_window_test_access.h"
#include "window_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// A main window of this process whose boxes are answered with OK and whose folder dialogs pick
// `targetFolder` (or are cancelled), with the helpers to scan, search, tick and recover.
class ResultsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr));
        main = window->create();
        ASSERT_NE(main, nullptr);
        pumpMessages();
    }

    void TearDown() override
    {
        if (IsWindow(main)) {
            DestroyWindow(main);
        }
        pumpMessages();
        window.reset();
    }

    HWND item(int id) const { return GetDlgItem(main, id); }
    HWND list(int tab) const { return item(200 + tab); }

    static std::wstring textOf(HWND window)
    {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        return text;
    }
    std::wstring status() const { return textOf(item(118)); }

    // Scans to its end and closes the completion box.
    bool scanToEnd(const std::wstring& location)
    {
        const size_t seen = dialogs.dialogs().size();
        SetWindowTextW(item(101), location.c_str());
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(104, BN_CLICKED), reinterpret_cast<LPARAM>(item(104)));
        return pumpUntil([&] { return status() == L"扫描完成！"; }) && dialogs.waitForDialogs(seen + 1);
    }

    int rows(int tab) const { return listRowCount(list(tab)); }
    std::wstring cell(int tab, int row, int column) const { return listCell(list(tab), row, column); }
    std::multiset<std::wstring> names(int tab) const
    {
        std::multiset<std::wstring> found;
        for (int row = 0; row < rows(tab); ++row) {
            found.insert(cell(tab, row, 0));
        }
        return found;
    }
    int rowNamed(int tab, const std::wstring& name) const { return listRowNamed(list(tab), name); }
    void tick(int tab, int row) { ListView_SetCheckState(list(tab), row, TRUE); }
    bool ticked(int tab, int row) const { return ListView_GetCheckState(list(tab), row) != 0; }

    // As a click on the tab does: the selection, then its notice.
    void chooseTab(int tab)
    {
        SendMessageW(item(112), TCM_SETCURSEL, tab, 0);
        NMHDR notice = {item(112), 112, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(main, WM_NOTIFY, 112, reinterpret_cast<LPARAM>(&notice));
    }
    int selectedTab() const { return static_cast<int>(SendMessageW(item(112), TCM_GETCURSEL, 0, 0)); }
    HWND currentList() const { return MainWindowTestAccess::currentList(*window); }
    bool emptyViewShown(int tab) const { return IsWindowVisible(MainWindowTestAccess::emptyStateView(*window, tab)); }

    // Typing and deleting in the search box: each change of its text.
    void typeSearch(const std::wstring& text) { SetWindowTextW(item(111), text.c_str()); }

    void pressRecover()
    {
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(107, BN_CLICKED), reinterpret_cast<LPARAM>(item(107)));
    }

    // Every box seen from the n-th on, once that many more have been answered.
    std::vector<SeenDialog> dialogsFrom(size_t first, size_t count)
    {
        dialogs.waitForDialogs(first + count);
        const auto all = dialogs.dialogs();
        return std::vector<SeenDialog>(all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())), all.end());
    }

    std::vector<std::wstring> statusesAtSummary() const
    {
        std::lock_guard<std::mutex> guard(answerLock);
        return statusWhenSummaryShown;
    }

    static bool isMessageBox(const SeenDialog& dialog)
    {
        static const std::set<std::wstring> captions = {L"提示", L"错误", L"信息", L"恢复结果"};
        return captions.count(dialog.caption) != 0;
    }

    std::unique_ptr<MainWindow> window;
    HWND main = nullptr;
    std::wstring targetFolder;      // where the folder dialog goes; empty: the dialog is cancelled
    mutable std::mutex answerLock;
    std::vector<std::wstring> statusWhenSummaryShown;
    DialogWatcher dialogs{[this](const SeenDialog& dialog) {
        if (isMessageBox(dialog)) {
            if (dialog.caption == L"恢复结果") {
                std::lock_guard<std::mutex> guard(answerLock);
                statusWhenSummaryShown.push_back(status());
            }
            return DialogAnswer{IDOK, {}};
        }
        return targetFolder.empty() ? DialogAnswer{IDCANCEL, {}} : DialogAnswer{IDOK, targetFolder};
    }};
};
