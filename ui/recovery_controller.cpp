#include "recovery_controller.h"

#include "debug_output.h"
#include "gdi_handles.h"
#include "result_rows.h"
#include "text_encoding.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

namespace {

// Check-box list views keep the box in the state image: 1 is the empty box, 2 the ticked one.
constexpr UINT emptyBoxImage = 1;

bool isTicked(HWND list, int row)
{
    const auto state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) != emptyBoxImage;
}

const FileInfo* recordOf(HWND list, int row)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return nullptr;
    }
    return reinterpret_cast<const FileInfo*>(item.lParam);
}

// The folder the user picks for the copies; nothing when the dialog is cancelled or the choice
// is no file-system folder.
std::optional<std::wstring> chooseTargetFolder(HWND owner)
{
    BROWSEINFOW browseInfo = {};
    browseInfo.hwndOwner = owner;
    browseInfo.lpszTitle = L"选择恢复文件的保存位置";
    browseInfo.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;

    ItemIdList chosen(SHBrowseForFolderW(&browseInfo));
    if (!chosen) {
        return std::nullopt;
    }
    wchar_t folder[MAX_PATH] = {};
    const bool hasPath = SHGetPathFromIDListW(chosen.get(), folder) != FALSE;
    chosen.reset();
    if (!hasPath) {
        return std::nullopt;
    }
    return std::wstring(folder);
}

} // namespace

void RecoveryController::recoverSelected(HWND owner, HWND list, const RecoveryEngine& engine, StatusCallback onStatus)
{
    statusCallback = std::move(onStatus);

    const int rows = rowCount(list);
    debugLine(L"总项目数: %d", rows);
    if (rows == 0) {
        MessageBoxW(owner, L"请先选择要恢复的文件", L"提示", MB_ICONINFORMATION);
        return;
    }

    // Copies, so that rows added or deleted while the dialogs are open change nothing here.
    std::vector<FileInfo> selection;
    int ticked = 0;
    for (int row = 0; row < rows; ++row) {
        if (!isTicked(list, row)) {
            continue;
        }
        ++ticked;
        if (const FileInfo* record = recordOf(list, row)) {
            selection.push_back(*record);
        }
    }
    debugLine(L"找到的选中项目数: %d, 待恢复文件数: %d", ticked, static_cast<int>(selection.size()));
    if (selection.empty()) {
        MessageBoxW(owner, L"没有可恢复的文件", L"提示", MB_ICONINFORMATION);
        return;
    }

    const std::optional<std::wstring> folder = chooseTargetFolder(owner);
    if (!folder) {
        return;
    }
    const std::string targetDir = toNarrow(*folder).value_or("");

    try {
        if (statusCallback) {
            statusCallback(L"正在恢复 " + std::to_wstring(selection.size()) + L" 个文件...");
        }
        const std::vector<FileInfo> results = engine.recoverFiles(selection, targetDir);
        const auto recovered = std::count_if(results.begin(), results.end(), [](const FileInfo& result) {
            return result.status == "recovered" || result.status.find("success") != std::string::npos;
        });
        const std::wstring summary = L"恢复完成！成功恢复 " + std::to_wstring(recovered) + L" 个文件，共 " +
                                     std::to_wstring(results.size()) + L" 个文件。";
        MessageBoxW(owner, summary.c_str(), L"恢复结果", MB_ICONINFORMATION);
        if (statusCallback) {
            statusCallback(L"恢复操作完成");
        }
    } catch (const std::exception& error) {
        // The engine's messages are UTF-8, whatever the ANSI code page.
        const std::wstring message = L"恢复过程中发生错误: " + toWide(error.what(), utf8CodePage).value_or(L"");
        MessageBoxW(owner, message.c_str(), L"错误", MB_ICONERROR);
    } catch (...) {
        MessageBoxW(owner, L"恢复过程中发生未知错误", L"错误", MB_ICONERROR);
    }
}
