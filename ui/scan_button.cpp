#include "main_window.h"

#include <objidl.h>
#include <gdiplus.h>

namespace {

constexpr int faceWidth = 94;
constexpr int faceHeight = 24;

} // namespace

void MainWindow::updateScanButton(bool scanning)
{
    if (!scanButton) {
        return;
    }
    // The pictures are looked up in the working directory.
    const wchar_t* picturePath = scanning ? L"assets\\stop.png" : L"assets\\start.png";
    // The blanks move the centred word to the right of the picture.
    const wchar_t* label = scanning ? L"       停止" : L"       扫描";

    Gdiplus::Image picture(picturePath);
    if (picture.GetLastStatus() != Gdiplus::Ok) {
        return;   // the button keeps the face it has
    }
    const int pictureWidth = static_cast<int>(picture.GetWidth());
    const int pictureHeight = static_cast<int>(picture.GetHeight());

    Gdiplus::Bitmap face(faceWidth, faceHeight, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&face);
        graphics.Clear(Gdiplus::Color(255, 255, 255));
        graphics.DrawImage(&picture, (faceWidth - pictureWidth - 30) / 2, (faceHeight - pictureHeight) / 2,
                           pictureWidth, pictureHeight);

        const Gdiplus::Font font(L"Microsoft YaHei", 14, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const Gdiplus::SolidBrush brush(Gdiplus::Color(18, 150, 219));
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        const Gdiplus::RectF area(0.0f, 0.0f, static_cast<float>(faceWidth), static_cast<float>(faceHeight));
        graphics.DrawString(label, -1, &font, area, &format, &brush);
    }

    HBITMAP faceHandle = nullptr;
    face.GetHBITMAP(Gdiplus::Color(240, 240, 240), &faceHandle);
    if (faceHandle) {
        const GdiBitmap previous(
            reinterpret_cast<HBITMAP>(SendMessageW(scanButton, BM_GETIMAGE, IMAGE_BITMAP, 0)));
        SendMessageW(scanButton, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(faceHandle));
    }
}

// The button never deletes its bitmap; the last face goes with the window.
void MainWindow::releaseScanButtonFace()
{
    if (scanButton) {
        const GdiBitmap lastFace(
            reinterpret_cast<HBITMAP>(SendMessageW(scanButton, BM_SETIMAGE, IMAGE_BITMAP, 0)));
    }
}
