#include "empty_state_view.h"

#include "gdi_handles.h"
#include "log.h"
#include "program_folder.h"

#include <string>

namespace {

constexpr const wchar_t* className = L"EmptyStateViewClass";
constexpr const wchar_t* imageProperty = L"EmptyStateImage";
constexpr const wchar_t* fontProperty = L"EmptyStateFont";
constexpr const wchar_t* captionText = L"";

bool classRegistered = false;

void registerViewClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSW viewClass = {};
    viewClass.style = CS_HREDRAW | CS_VREDRAW;
    viewClass.lpfnWndProc = procedure;
    viewClass.hInstance = instance;
    viewClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    viewClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    viewClass.lpszClassName = className;
    if (RegisterClassW(&viewClass)) {
        classRegistered = true;
        diag::out("EmptyStateView class registered successfully");
    } else {
        diag::out("Failed to register EmptyStateView class");
    }
}

// The executable's folder, its last backslash kept, then assets/empty.png.
std::wstring picturePath(HINSTANCE instance)
{
    std::wstring path = besideProgram(instance, L"assets/empty.png");
    return path.size() < MAX_PATH ? path : std::wstring();
}

} // namespace

HWND EmptyStateView::create(HWND parent, HINSTANCE instance, int x, int y, int width, int height)
{
    hInstance = instance;
    this->width = width;
    this->height = height;

    if (!classRegistered) {
        registerViewClass(instance, wndProc);
    }

    hwnd = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                           instance, nullptr);
    if (!hwnd) {
        diag::out("Failed to create EmptyStateView window");
        return nullptr;
    }
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    auto loaded = std::make_unique<Gdiplus::Image>(picturePath(instance).c_str());
    if (loaded->GetLastStatus() != Gdiplus::Ok) {
        diag::out("Failed to load empty.png image");
    } else {
        image = std::move(loaded);
        SetPropW(hwnd, imageProperty, image.get());
        diag::out("EmptyStateView image loaded successfully");
    }

    HFONT font = CreateFontW(26, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                             L"Microsoft YaHei");
    SetPropW(hwnd, fontProperty, font);

    diag::out("EmptyStateView window created successfully");
    return hwnd;
}

void EmptyStateView::show()
{
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOW);
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
}

void EmptyStateView::hide()
{
    if (hwnd) {
        ShowWindow(hwnd, SW_HIDE);
    }
}

LRESULT CALLBACK EmptyStateView::wndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;   // the paint covers the whole client area
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void EmptyStateView::paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    const auto* view = reinterpret_cast<EmptyStateView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (view && view->image) {
        const int imageWidth = static_cast<int>(view->image->GetWidth());
        const int imageHeight = static_cast<int>(view->image->GetHeight());
        const int clientWidth = client.right - client.left;
        const int clientHeight = client.bottom - client.top;
        const int x = (clientWidth - imageWidth) / 2;
        const int y = (clientHeight - imageHeight) / 2;

        Gdiplus::Graphics graphics(dc);
        graphics.DrawImage(view->image.get(), x, y, imageWidth, imageHeight);

        if (auto font = static_cast<HFONT>(GetPropW(window, fontProperty))) {
            const HGDIOBJ previousFont = SelectObject(dc, font);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(128, 128, 128));
            const int captionLength = static_cast<int>(wcslen(captionText));
            SIZE captionSize = {};
            GetTextExtentPoint32W(dc, captionText, captionLength, &captionSize);
            TextOutW(dc, (clientWidth - captionSize.cx) / 2, y + imageHeight, captionText, captionLength);
            SelectObject(dc, previousFont);
        }
    }
    EndPaint(window, &paint);
}

void EmptyStateView::onDestroy(HWND window)
{
    GdiFont font(static_cast<HFONT>(RemovePropW(window, fontProperty)));
    RemovePropW(window, imageProperty);
    // The view owns the picture the property pointed to.
    if (auto* view = reinterpret_cast<EmptyStateView*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
        view->image.reset();
    }
}
