#include "empty_state_view.h"
#include "gdi_handles.h"
#include "stream_capture.h"
#include "unique_handle.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct PicturePoint {
    int x;
    int y;
    COLORREF onWhite;   // the picture's pixel as it shows on a white ground
};

std::unique_ptr<Gdiplus::Bitmap> loadPicture()
{
    auto picture = std::make_unique<Gdiplus::Bitmap>(besideTestProgram(L"assets\\empty.png").c_str());
    return picture->GetLastStatus() == Gdiplus::Ok ? std::move(picture) : nullptr;
}

// Points of the picture that stand out from white, spread over its area, with their colour
// over a white ground. Half of them lie on an edge, so that a picture one pixel off shows.
std::vector<PicturePoint> distinctPoints(Gdiplus::Bitmap& picture)
{
    const auto onWhite = [&](int x, int y) {
        Gdiplus::Color c;
        picture.GetPixel(x, y, &c);
        const auto blend = [&](BYTE channel) { return static_cast<BYTE>((channel * c.GetA() + 255 * (255 - c.GetA())) / 255); };
        return RGB(blend(c.GetR()), blend(c.GetG()), blend(c.GetB()));
    };
    std::vector<PicturePoint> points;
    const int width = static_cast<int>(picture.GetWidth());
    const int height = static_cast<int>(picture.GetHeight());
    for (int y = 2; y < height - 2; y += 7) {
        for (int x = 2; x < width - 2; x += 7) {
            const COLORREF here = onWhite(x, y);
            if (nearColor(here, RGB(255, 255, 255), 12)) {
                continue;
            }
            points.push_back({x, y, here});
        }
    }
    // Edges: where a pixel differs clearly from its right-hand neighbour.
    for (int y = 1; y < height - 1; y += 3) {
        for (int x = 1; x < width - 2; ++x) {
            if (!nearColor(onWhite(x, y), onWhite(x + 1, y), 40)) {
                points.push_back({x, y, onWhite(x, y)});
                points.push_back({x + 1, y, onWhite(x + 1, y)});
            }
        }
    }
    return points;
}

// Every point of the picture that lies inside the view shows at its offset (left, top).
void expectPictureAt(HWND view, int left, int top, const std::vector<PicturePoint>& points)
{
    RECT client;
    GetClientRect(view, &client);
    int compared = 0;
    for (const PicturePoint& point : points) {
        const int x = left + point.x;
        const int y = top + point.y;
        if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) {
            continue;
        }
        ++compared;
        const COLORREF shown = windowPixel(view, x, y);
        EXPECT_TRUE(nearColor(shown, point.onWhite))
            << "at " << x << "," << y << ": shown " << std::hex << shown << ", picture " << point.onWhite;
    }
    EXPECT_GT(compared, 3);
}

// Whether the file can be opened with no sharing at all: nothing else holds it open.
bool openedAlone(const std::wstring& path)
{
    const FileHandle alone(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return alone.valid();
}

} // namespace

TEST(EmptyStateView, DrawsThePictureCentredOnWhite)
{
    auto picture = loadPicture();
    ASSERT_TRUE(picture);
    const int pictureWidth = static_cast<int>(picture->GetWidth());
    const int pictureHeight = static_cast<int>(picture->GetHeight());
    const auto points = distinctPoints(*picture);
    ASSERT_GT(points.size(), 10u);

    HostWindow host(700, 500);
    // Odd margins: the offset is the truncated half of the free space.
    const int width = pictureWidth + 301;
    const int height = pictureHeight + 121;
    EmptyStateView view;
    ASSERT_TRUE(view.create(host.get(), GetModuleHandleW(nullptr), 5, 5, width, height));
    view.show();

    expectPictureAt(view.getHwnd(), 150, 60, points);
    EXPECT_EQ(windowPixel(view.getHwnd(), 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(windowPixel(view.getHwnd(), width - 2, height - 2), RGB(255, 255, 255));
    EXPECT_EQ(windowPixel(view.getHwnd(), 149, height / 2), RGB(255, 255, 255));
}

TEST(EmptyStateView, ClipsALargerPictureAroundItsCentre)
{
    auto picture = loadPicture();
    ASSERT_TRUE(picture);
    const auto points = distinctPoints(*picture);
    const int pictureWidth = static_cast<int>(picture->GetWidth());
    const int pictureHeight = static_cast<int>(picture->GetHeight());

    HostWindow host(400, 300);
    const int width = pictureWidth - 99;
    const int height = pictureHeight - 61;
    EmptyStateView view;
    ASSERT_TRUE(view.create(host.get(), GetModuleHandleW(nullptr), 0, 0, width, height));
    view.show();

    // Negative offsets, halved toward zero: -99 / 2 = -49, -61 / 2 = -30.
    expectPictureAt(view.getHwnd(), -49, -30, points);
}

TEST(EmptyStateView, WithoutThePictureLogsItAndPaintsWhite)
{
    HiddenFile missing(besideTestProgram(L"assets\\empty.png"));
    ASSERT_TRUE(missing.hidden());

    HostWindow host(400, 300);
    EmptyStateView view;
    StreamCapture capture;
    ASSERT_TRUE(view.create(host.get(), GetModuleHandleW(nullptr), 0, 0, 300, 200));
    view.show();

    const auto lines = capture.outLines();
    EXPECT_EQ(countOf(lines, "Failed to load empty.png image"), 1u);
    EXPECT_EQ(countOf(lines, "EmptyStateView image loaded successfully"), 0u);
    EXPECT_EQ(countOf(lines, "EmptyStateView window created successfully"), 1u);
    EXPECT_EQ(GetPropW(view.getHwnd(), L"EmptyStateImage"), nullptr);
    for (POINT at : {POINT{150, 100}, POINT{1, 1}, POINT{298, 198}, POINT{100, 80}}) {
        EXPECT_EQ(windowPixel(view.getHwnd(), at.x, at.y), RGB(255, 255, 255));
    }
}

TEST(EmptyStateView, ItsWindowFreesPictureAndFontOnce)
{
    // A loaded picture keeps its file open; a free one leaves it to be opened alone.
    const std::wstring pictureFile = besideTestProgram(L"assets\\empty.png");
    ASSERT_TRUE(openedAlone(pictureFile));

    HostWindow host(400, 300);
    auto view = std::make_unique<EmptyStateView>();
    ASSERT_TRUE(view->create(host.get(), GetModuleHandleW(nullptr), 0, 0, 300, 200));
    HWND window = view->getHwnd();
    auto font = static_cast<HFONT>(GetPropW(window, L"EmptyStateFont"));
    ASSERT_NE(font, nullptr);
    EXPECT_NE(GetPropW(window, L"EmptyStateImage"), nullptr);
    EXPECT_FALSE(openedAlone(pictureFile));
    LOGFONTW described = {};
    ASSERT_EQ(GetObjectW(font, sizeof(described), &described), static_cast<int>(sizeof(described)));
    EXPECT_EQ(described.lfHeight, 26);
    EXPECT_STREQ(described.lfFaceName, L"Microsoft YaHei");

    DestroyWindow(window);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_TRUE(openedAlone(pictureFile));

    // A font and a picture made now may take the freed ones' handle and heap block; the view object,
    // going afterwards, must free neither.
    const GdiFont laterFont(CreateFontW(26, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                                        L"Microsoft YaHei"));
    auto laterPicture = std::make_unique<Gdiplus::Image>(pictureFile.c_str());
    ASSERT_EQ(laterPicture->GetLastStatus(), Gdiplus::Ok);
    view.reset();
    EXPECT_EQ(GetObjectType(laterFont.get()), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(laterPicture->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(laterPicture->GetWidth(), 200u);
    EXPECT_FALSE(openedAlone(pictureFile));
    laterPicture.reset();
    EXPECT_TRUE(openedAlone(pictureFile));
}
