#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

// The white placeholder that stands in for an empty result list, with assets/empty.png
// (beside the executable) in its centre. The picture and the caption font belong to the
// view's window and are freed when it is destroyed.
class EmptyStateView {
public:
    EmptyStateView() = default;

    HWND create(HWND parent, HINSTANCE instance, int x, int y, int width, int height);
    void show();
    void hide();
    HWND getHwnd() const { return hwnd; }

private:
    static LRESULT CALLBACK wndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void paint(HWND window);
    static void onDestroy(HWND window);

    std::unique_ptr<Gdiplus::Image> image;
    HWND hwnd = nullptr;
    HINSTANCE hInstance = nullptr;
    int width = 0;
    int height = 0;
};
