#pragma once

#include <windows.h>

// The window procedure of "BottomBarClass": a strip in the panel colour.
LRESULT CALLBACK bottomBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
