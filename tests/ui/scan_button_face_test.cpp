#include "main_window.h"
#include "main_window_test_access.h"
#include "scoped_settings.h"
#include "temp_folder.h"
#include "window_test_support.h"

#include <gtest/gtest.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF accent = RGB(18, 150, 219);
constexpr COLORREF white = RGB(255, 255, 255);
constexpr int faceWidth = 94;
constexpr int faceHeight = 24;

// The pixels of a face bitmap, copied: the button deletes a face when it gets the next one.
struct Face {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Face copyFace(HBITMAP bitmap)
{
    Face face;
    BITMAP described = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(described), &described)) {
        return face;
    }
    face.width = described.bmWidth;
    face.height = described.bmHeight;
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            face.pixels.push_back(GetPixel(dc, x, y));
        }
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return face;
}

// Where the face draws a picture of the given size.
RECT pictureArea(int pictureWidth, int pictureHeight)
{
    const int left = (faceWidth - pictureWidth - 30) / 2;
    const int top = (faceHeight - pictureHeight) / 2;
    return {left, top, left + pictureWidth, top + pictureHeight};
}

// True when every opaque pixel of the picture file is on the face, in its place.
bool showsPicture(const Face& face, const std::wstring& picturePath)
{
    Gdiplus::Bitmap picture(picturePath.c_str());
    if (picture.GetLastStatus() != Gdiplus::Ok || face.width != faceWidth || face.height != faceHeight) {
        return false;
    }
    const RECT area = pictureArea(static_cast<int>(picture.GetWidth()), static_cast<int>(picture.GetHeight()));
    int compared = 0;
    for (UINT y = 0; y < picture.GetHeight(); ++y) {
        for (UINT x = 0; x < picture.GetWidth(); ++x) {
            Gdiplus::Color c;
            picture.GetPixel(x, y, &c);
            if (c.GetA() != 255) {
                continue;
            }
            ++compared;
            if (!nearColor(face.at(area.left + static_cast<int>(x), area.top + static_cast<int>(y)),
                           RGB(c.GetR(), c.GetG(), c.GetB()))) {
                return false;
            }
        }
    }
    return compared > 10;
}

bool isWhite(const Face& face, const RECT& area)
{
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (face.at(x, y) != white) {
                return false;
            }
        }
    }
    return true;
}

// The word's pixels: those right of the picture area in the accent colour.
int wordPixels(const Face& face, const RECT& area)
{
    int count = 0;
    for (int y = 0; y < face.height; ++y) {
        for (int x = area.right + 1; x < face.width; ++x) {
            count += nearColor(face.at(x, y), accent, 40);
        }
    }
    return count;
}

SIZE pictureSize(const std::wstring& path)
{
    Gdiplus::Bitmap picture(path.c_str());
    if (picture.GetLastStatus() != Gdiplus::Ok) {
        return {0, 0};
    }
    return {static_cast<LONG>(picture.GetWidth()), static_cast<LONG>(picture.GetHeight())};
}

class ScanButtonFaceTest : public ::testing::Test {
protected:
    void TearDown() override { close(); }

    void open()
    {
        window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr));
        main = window->create();
        ASSERT_NE(main, nullptr);
        pumpMessages();
    }

    void close()
    {
        if (IsWindow(main)) {
            DestroyWindow(main);
        }
        pumpMessages();
        window.reset();
        main = nullptr;
    }

    // As the Scan button starts a scan, without a worker: the face turns to "停止".
    void startScan() { MainWindowTestAccess::startScanWithoutWorker(*window); }

    Face face() const
    {
        return copyFace(reinterpret_cast<HBITMAP>(SendMessageW(GetDlgItem(main, 104), BM_GETIMAGE, IMAGE_BITMAP, 0)));
    }

    std::unique_ptr<MainWindow> window;
    HWND main = nullptr;
};

} // namespace

TEST_F(ScanButtonFaceTest, StartedInAnotherFolderTheButtonTakesItsPicturesFromBesideTheProgram)
{
    TempFolder elsewhere;
    ScopedWorkingFolder workingFolder(elsewhere.path());
    ASSERT_TRUE(workingFolder.isChanged());

    open();
    const Face idle = face();
    EXPECT_TRUE(showsPicture(idle, besideTestProgram(L"assets\\start.png")));
    const SIZE size = pictureSize(besideTestProgram(L"assets\\start.png"));
    EXPECT_GT(wordPixels(idle, pictureArea(size.cx, size.cy)), 10);

    startScan();
    EXPECT_TRUE(showsPicture(face(), besideTestProgram(L"assets\\stop.png")));
}

TEST_F(ScanButtonFaceTest, APictureBesideTheProgramGoesBeforeTheWorkingFoldersAndWithoutItThatOneIsUsed)
{
    // The working folder's start picture is a copy of the stop picture, so that the two differ.
    TempFolder elsewhere;
    elsewhere.makeFolder(L"assets");
    const std::wstring workingFolderStart = elsewhere.pathOf(L"assets\\start.png");
    ASSERT_TRUE(CopyFileW(besideTestProgram(L"assets\\stop.png").c_str(), workingFolderStart.c_str(), TRUE));
    ScopedWorkingFolder workingFolder(elsewhere.path());
    ASSERT_TRUE(workingFolder.isChanged());

    open();
    EXPECT_TRUE(showsPicture(face(), besideTestProgram(L"assets\\start.png")));
    EXPECT_FALSE(showsPicture(face(), workingFolderStart));
    close();

    HiddenFile besideStart(besideTestProgram(L"assets\\start.png"));
    ASSERT_TRUE(besideStart.hidden());
    open();
    EXPECT_TRUE(showsPicture(face(), workingFolderStart));
}

TEST_F(ScanButtonFaceTest, WithNeitherPictureTheFaceShowsItsWordAlone)
{
    const SIZE startSize = pictureSize(besideTestProgram(L"assets\\start.png"));
    const SIZE stopSize = pictureSize(besideTestProgram(L"assets\\stop.png"));
    ASSERT_GT(startSize.cx, 0);
    ASSERT_GT(stopSize.cx, 0);
    TempFolder elsewhere;
    ScopedWorkingFolder workingFolder(elsewhere.path());
    ASSERT_TRUE(workingFolder.isChanged());
    HiddenFile besideStart(besideTestProgram(L"assets\\start.png"));
    HiddenFile besideStop(besideTestProgram(L"assets\\stop.png"));
    ASSERT_TRUE(besideStart.hidden());
    ASSERT_TRUE(besideStop.hidden());

    open();
    const Face idle = face();
    ASSERT_EQ(idle.width, faceWidth);
    ASSERT_EQ(idle.height, faceHeight);
    EXPECT_TRUE(isWhite(idle, pictureArea(startSize.cx, startSize.cy)));
    EXPECT_GT(wordPixels(idle, pictureArea(startSize.cx, startSize.cy)), 10);

    startScan();
    const Face scanning = face();
    ASSERT_EQ(scanning.width, faceWidth);
    ASSERT_EQ(scanning.height, faceHeight);
    EXPECT_TRUE(isWhite(scanning, pictureArea(stopSize.cx, stopSize.cy)));
    EXPECT_GT(wordPixels(scanning, pictureArea(stopSize.cx, stopSize.cy)), 10);
    EXPECT_NE(scanning.pixels, idle.pixels);   // "停止", not "扫描"
}
