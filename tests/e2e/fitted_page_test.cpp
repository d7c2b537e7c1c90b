// Pages on the screen they are shown on: a picture larger than the screen is reduced to fit
// it, aspect kept, with the window inside the work area; a picture narrower than the menu bar
// gets a client area of exactly its size.
#include <cmath>
#include <cstdio>

#include "expected_picture.h"
#include "in_process_probe.h"
#include "viewer_test_base.h"
#include "window_pixels.h"

namespace {

const UINT kWallpaperCentre = 32782;
const int kLargeWidth = 4000, kLargeHeight = 3000;

// The area average of `full` at width x height, in floating point: every output pixel the
// mean of the source area it covers, partly covered pixels by the part covered.
std::vector<double> areaAverage(const ScreenPixels& full, int width, int height) {
    std::vector<double> out(size_t(width) * height * 3, 0.0);
    const double sx = double(full.width) / width, sy = double(full.height) / height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum[3] = {0, 0, 0};
            for (int v = int(y * sy); v < full.height && v < (y + 1) * sy; ++v) {
                const double wy = std::fmin(v + 1, (y + 1) * sy) - std::fmax(v, y * sy);
                for (int u = int(x * sx); u < full.width && u < (x + 1) * sx; ++u) {
                    const double w = wy * (std::fmin(u + 1, (x + 1) * sx) - std::fmax(u, x * sx));
                    const uint32_t p = full.at(u, v);
                    for (int c = 0; c < 3; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
                }
            }
            for (int c = 0; c < 3; ++c) out[(size_t(y) * width + x) * 3 + c] = sum[c] / (sx * sy);
        }
    }
    return out;
}

double psnr(const std::vector<double>& expected, const ScreenPixels& shown) {
    double squares = 0;
    for (size_t i = 0; i < shown.pixels.size(); ++i)
        for (int c = 0; c < 3; ++c) {
            const double d = expected[i * 3 + c] - ((shown.pixels[i] >> (8 * c)) & 0xFF);
            squares += d * d;
        }
    const double mean = squares / (shown.pixels.size() * 3.0);
    return mean == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mean);
}

RECT workArea() {
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

uint32_t le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

class FittedPage : public ViewerTestBase {};

TEST_F(FittedPage, LargePictureIsReducedIntoTheWorkArea) {
    const std::wstring large = booksFolder() + L"large.jpg";
    HWND window = openCopy(L"bare.exe", L"", large);
    ASSERT_NE(window, nullptr);
    RECT frame, area = workArea();
    GetWindowRect(window, &frame);
    EXPECT_TRUE(frame.left >= area.left && frame.top >= area.top && frame.right <= area.right &&
                frame.bottom <= area.bottom)
        << "window (" << frame.left << "," << frame.top << ")-(" << frame.right << "," << frame.bottom << ")";
    const SIZE client = clientSize(window);
    ASSERT_GT(client.cx, 0);
    ASSERT_GT(client.cy, 0);
    // Aspect kept: the side that does not fill the screen is the other one's share, rounded.
    EXPECT_TRUE(std::abs(client.cy - double(client.cx) * kLargeHeight / kLargeWidth) <= 0.5 ||
                std::abs(client.cx - double(client.cy) * kLargeWidth / kLargeHeight) <= 0.5)
        << client.cx << " x " << client.cy;

    ScreenPixels shown, expected;
    ASSERT_TRUE(readClientPicture(viewer.handle(), window, shown)) << "the picture probe did not run";
    if (screenDepth() == 8) {
        // The reduction dithered, not a dithered picture reduced.
        ASSERT_TRUE(reducedDitheredPicture(large, client.cx, client.cy, expected));
        EXPECT_EQ(differingPixels(expected, shown), 0) << firstDifferences(expected, shown);
    } else {
        ScreenPixels full;
        ASSERT_TRUE(trueColourPicture(large, full));
        ASSERT_EQ(full.width, kLargeWidth);
        const double db = psnr(areaAverage(full, client.cx, client.cy), shown);
        std::printf("reduced %ld x %ld: %.1f dB against a floating-point area average\n", client.cx, client.cy, db);
        EXPECT_GE(db, 30.0);
    }

    // The wallpaper is the whole picture, not the reduced one.
    PostMessageW(window, WM_COMMAND, kWallpaperCentre, 0);
    settle(window);
    const std::string bmp = readFileBytes(folders.work() + L"large.BMP");
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(le32(bmp, 18), uint32_t(kLargeWidth));
    EXPECT_EQ(le32(bmp, 22), uint32_t(kLargeHeight));
    closeWithEscape(window);
}

// The menu bar wraps onto more lines in a window this narrow; the client area is the picture's.
class NarrowPage : public ViewerTestBase {
protected:
    void expectWholeSize(const wchar_t* file, int width, int height) {
        HWND window = open(L"bare.exe", booksFolder() + file);
        ASSERT_NE(window, nullptr);
        const SIZE client = clientSize(window);
        EXPECT_EQ(client.cx, width);
        EXPECT_EQ(client.cy, height);
        closeWithEscape(window);
    }
};

TEST_F(NarrowPage, ThirtyThreeBySeventeen) { expectWholeSize(L"narrow-33x17.bmp", 33, 17); }
TEST_F(NarrowPage, ThirtySixByTwentyEight) { expectWholeSize(L"narrow-36x28.bmp", 36, 28); }

}  // namespace
