#pragma once

#include "recovery_engine.h"

#include <windows.h>

#include <functional>
#include <string>

// Shows one line of progress text while ticked files are recovered.
using StatusCallback = std::function<void(const std::wstring&)>;

// What the "恢复选中文件" button does: copies the files of the ticked rows of a list into a folder
// the user picks, on the calling (UI) thread, and reports the outcome in a message box.
class RecoveryController {
public:
    // Every dialog and box is owned by `owner`; a null list counts as one without rows.
    void recoverSelected(HWND owner, HWND list, const RecoveryEngine& engine, StatusCallback onStatus);

private:
    // The callback of the last call, kept after it.
    StatusCallback statusCallback;
};
