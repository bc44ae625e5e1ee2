#include "main_window.h"

#include "text_encoding.h"

#include <array>
#include <string>

void MainWindow::populateDrives()
{
    // Resetting also clears whatever was typed into the box.
    SendMessageW(pathCombo, CB_RESETCONTENT, 0, 0);
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1u << i)) == 0) {
            continue;
        }
        const std::string drive = std::string(1, static_cast<char>('A' + i)) + ":\\";
        const UINT type = GetDriveTypeA(drive.c_str());
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) {
            continue;
        }
        const std::wstring displayName = toWide(drive).value_or(std::wstring());
        SendMessageW(pathCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(displayName.c_str()));
    }
    if (SendMessageW(pathCombo, CB_GETCOUNT, 0, 0) > 0) {
        SendMessageW(pathCombo, CB_SETCURSEL, 0, 0);
    }
}

void MainWindow::populateScenarios()
{
    // The item index is the scenario index that a scan maps to its keyword.
    constexpr std::array<const wchar_t*, 4> scenarioNames = {
        L"误删除文件", L"清空回收站", L"格式化设备", L"重装系统",
    };
    for (const wchar_t* name : scenarioNames) {
        SendMessageW(scenarioCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageW(scenarioCombo, CB_SETCURSEL, 0, 0);
}
