#include "main_window.h"

#include <shlobj.h>

namespace {

// Preselects the folder given as callback data, when there is one.
int CALLBACK browseFolderCallback(HWND dialog, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

} // namespace

void MainWindow::chooseFolder()
{
    BROWSEINFOW browseInfo = {};
    browseInfo.hwndOwner = hwnd;
    browseInfo.lpszTitle = L"请选择要扫描的文件夹";
    browseInfo.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    browseInfo.lpfn = browseFolderCallback;
    browseInfo.lParam = 0;

    const ItemIdList chosen(SHBrowseForFolderW(&browseInfo));
    if (!chosen) {
        return;
    }
    wchar_t selectedPath[MAX_PATH] = {};
    if (SHGetPathFromIDListW(chosen.get(), selectedPath)) {
        SetWindowTextW(pathCombo, selectedPath);
    }
}
