#include "bottom_bar.h"

#include "gdi_handles.h"
#include "ui_colors.h"

namespace {

void fillWithPanel(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    const GdiBrush panel(CreateSolidBrush(uiColor::panel));
    FillRect(dc, &client, panel.get());
}

} // namespace

LRESULT CALLBACK bottomBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        fillWithPanel(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        fillWithPanel(window, reinterpret_cast<HDC>(wParam));
        return 1;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
