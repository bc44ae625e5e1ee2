#pragma once

#include "gdi_handles.h"

#include <windows.h>

// Takes the single-instance mutex; empty when another instance holds it or it cannot be made.
OwnedMutex claimSingleInstance();

// Restores and brings forward the running instance's main window, when there is one.
void activateRunningInstance();

// EnumWindows callback: stops at the first window of the main class (exact, case-sensitive name).
BOOL CALLBACK findMainWindowProc(HWND window, LPARAM);
