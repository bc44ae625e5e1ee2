#include "control_ids.h"
#include "main_window.h"
#include "result_rows.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwctype>

namespace {

std::wstring lowerCase(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

bool isBlank(const std::wstring& text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswspace(c) != 0; });
}

} // namespace

void MainWindow::applySearchFilter()
{
    if (!currentList || !searchEdit || listViews.size() <= searchTab || emptyStateViews.size() <= searchTab) {
        return;
    }
    HWND searchList = listViews[searchTab];
    EmptyStateView& searchEmptyView = emptyStateViews[searchTab];

    releaseListRedraw();
    const int length = GetWindowTextLengthW(searchEdit);
    SendMessageW(searchList, LVM_DELETEALLITEMS, 0, 0);
    if (length == 0) {
        // An empty box changes nothing that can be seen unless the search tab is on show.
        if (selectedTab() == searchTab) {
            searchEmptyView.show();
            ShowWindow(searchList, SW_HIDE);
        }
        return;
    }

    if (selectedTab() != searchTab) {
        SendMessageW(tabControl, TCM_SETCURSEL, searchTab, 0);
        for (int i = 0; i < searchTab; ++i) {
            ShowWindow(listViews[i], SW_HIDE);
            emptyStateViews[i].hide();
        }
        ShowWindow(searchList, SW_SHOW);
        currentList = searchList;
    }

    std::wstring searchText(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(searchEdit, searchText.data(), length + 1);
    searchText.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
    if (isBlank(searchText)) {
        return;
    }

    // The text is matched as typed: blanks around it are part of the pattern or substring.
    const bool wildcard = searchText.find_first_of(L"*?") != std::wstring::npos;
    const std::wstring searchTextLower = lowerCase(searchText);
    int matches = 0;
    for (const FileInfo& file : results) {
        // Only a match needs the rest of its row's texts.
        const RowTexts searched = rowTexts(file, RowTextPart::nameAndPath);
        const bool match = wildcard ? PathMatchSpecW(searched.name.c_str(), searchText.c_str()) != FALSE
                                    : lowerCase(searched.name).find(searchTextLower) != std::wstring::npos ||
                                          lowerCase(searched.path).find(searchTextLower) != std::wstring::npos;
        if (!match) {
            continue;
        }
        ++matches;
        appendResultRow(searchList, rowTexts(file), file);
    }

    if (rowCount(searchList) > 0) {
        searchEmptyView.hide();
        ShowWindow(searchList, SW_SHOW);
    } else {
        searchEmptyView.show();
        ShowWindow(searchList, SW_HIDE);
    }
    setStatusText(L"找到 " + std::to_wstring(matches) + L" 个文件（共 " + std::to_wstring(results.size()) + L" 个）");
}
