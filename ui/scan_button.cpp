#include "main_window.h"

#include "program_folder.h"

#include <objidl.h>
#include <gdiplus.h>

#include <memory>

namespace {

constexpr int faceWidth = 94;
constexpr int faceHeight = 24;

// From the assets folder beside the program, else from the working folder's, so that the face
// has its picture whatever folder the program was started in. Null when neither loads.
std::unique_ptr<Gdiplus::Image> loadFacePicture(HINSTANCE instance, const wchar_t* relativePath)
{
    for (const std::wstring& path : {besideProgram(instance, relativePath), std::wstring(relativePath)}) {
        auto picture = std::make_unique<Gdiplus::Image>(path.c_str());
        if (picture->GetLastStatus() == Gdiplus::Ok) {
            return picture;
        }
    }
    return nullptr;
}

} // namespace

void MainWindow::updateScanButton(bool scanning)
{
    if (!scanButton) {
        return;
    }
    const wchar_t* picturePath = scanning ? L"assets\\stop.png" : L"assets\\start.png";
    // The blanks move the centred word to the right of the picture.
    const wchar_t* label = scanning ? L"       停止" : L"       扫描";
    // Without its picture the face still says what the button does.
    const std::unique_ptr<Gdiplus::Image> picture = loadFacePicture(hInstance, picturePath);

    Gdiplus::Bitmap face(faceWidth, faceHeight, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&face);
        graphics.Clear(Gdiplus::Color(255, 255, 255));
        if (picture) {
            const int pictureWidth = static_cast<int>(picture->GetWidth());
            const int pictureHeight = static_cast<int>(picture->GetHeight());
            graphics.DrawImage(picture.get(), (faceWidth - pictureWidth - 30) / 2, (faceHeight - pictureHeight) / 2,
                               pictureWidth, pictureHeight);
        }

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
