// Pictures reduced to fit the screen: the fixed-point area average against a floating-point
// one, and the fitted road against the plain page road at both screen depths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bmp_fixture.h"
#include "image/bitmap_rows.h"
#include "image/dither.h"
#include "image/fitted_picture.h"
#include "image/jpeg_reduced_picture.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"

namespace {

// A top-down B,G,R picture held in memory.
class MemoryRows : public TrueColourRows {
public:
    MemoryRows(PictureSize size, std::vector<uint8_t> pixels) : size_(size), pixels_(std::move(pixels)) {}
    PictureSize size() const override { return size_; }
    const uint8_t* row(uint32_t y) override { return pixels_.data() + size_t(y) * size_.width * 3; }

private:
    PictureSize size_;
    std::vector<uint8_t> pixels_;
};

// The area average in floating point, top-down, 3 values a pixel.
std::vector<double> floatingAreaAverage(TrueColourRows& source, PictureSize to) {
    const PictureSize from = source.size();
    const double sx = double(from.width) / to.width, sy = double(from.height) / to.height;
    std::vector<double> out(size_t(to.width) * to.height * 3, 0.0);
    for (uint32_t v = 0; v < from.height; ++v) {
        const uint8_t* row = source.row(v);
        for (uint32_t y = uint32_t(v / sy); y < to.height && y * sy < v + 1; ++y) {
            const double wy = std::fmin(v + 1, (y + 1) * sy) - std::fmax(v, y * sy);
            if (wy <= 0) continue;
            for (uint32_t u = 0; u < from.width; ++u) {
                for (uint32_t x = uint32_t(u / sx); x < to.width && x * sx < u + 1; ++x) {
                    const double w = wy * (std::fmin(u + 1, (x + 1) * sx) - std::fmax(u, x * sx)) / (sx * sy);
                    for (int c = 0; c < 3; ++c) out[(size_t(y) * to.width + x) * 3 + c] += w * row[3 * u + c];
                }
            }
        }
    }
    return out;
}

// Largest difference between the fixed-point reduction (bottom-up rows of `pitch` bytes) and
// the floating-point one.
double largestDifference(const std::vector<double>& expected, const uint8_t* bottom, size_t pitch, PictureSize to) {
    double largest = 0;
    for (uint32_t y = 0; y < to.height; ++y) {
        const uint8_t* row = bottom + pitch * (to.height - 1 - y);
        for (uint32_t i = 0; i < to.width * 3; ++i)
            largest = std::fmax(largest, std::fabs(expected[size_t(y) * to.width * 3 + i] - row[i]));
    }
    return largest;
}

TEST(AreaAverage, FixedPointStaysWithinOneOfFloatingPoint) {
    const struct {
        PictureSize from, to;
    } cases[] = {{{7, 5}, {3, 2}}, {{1000, 3}, {1, 1}}, {{5, 5}, {5, 5}}, {{640, 480}, {333, 250}},
                 {{33, 1}, {32, 1}}, {{1, 300}, {1, 7}}};
    std::mt19937 random(7);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.width << "x" << c.from.height << " to " << c.to.width << "x"
                                        << c.to.height);
        std::vector<uint8_t> pixels(size_t(c.from.width) * c.from.height * 3);
        for (uint8_t& p : pixels) p = static_cast<uint8_t>(random() % 4 == 0 ? 255 : random());
        MemoryRows source(c.from, pixels);
        const size_t pitch = size_t(c.to.width) * 3;
        std::vector<uint8_t> reduced(pitch * c.to.height, 0);
        ASSERT_TRUE(reduceAreaAverage(source, c.to, reduced.data() + pitch * (c.to.height - 1),
                                      -static_cast<ptrdiff_t>(pitch)));
        EXPECT_LE(largestDifference(floatingAreaAverage(source, c.to), reduced.data(), pitch, c.to), 1.0);
    }
    MemoryRows small({2, 2}, std::vector<uint8_t>(12, 9));
    uint8_t out[12];
    EXPECT_FALSE(reduceAreaAverage(small, {3, 2}, out, 9)) << "enlarging";
    EXPECT_FALSE(reduceAreaAverage(small, {0, 2}, out, 0)) << "empty";
}

// The SIMD loops against the portable ones, over ratios of one to five taps a pixel; the
// source is a vector of its own so that a read past the last row's end is caught.
TEST(AreaAverage, SimdLoopsGiveThePortableBytes) {
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        const PictureSize from = {1 + uint32_t(random() % 400), 1 + uint32_t(random() % 40)};
        const uint32_t ratio = 1 + uint32_t(random() % 5);
        const PictureSize to = {std::max(1u, from.width / ratio - uint32_t(random() % 3) * (from.width > 3 * ratio)),
                                1 + uint32_t(random() % from.height)};
        SCOPED_TRACE(testing::Message() << from.width << "x" << from.height << " to " << to.width << "x" << to.height);
        std::vector<uint8_t> pixels(size_t(from.width) * from.height * 3);
        for (uint8_t& p : pixels) p = static_cast<uint8_t>(random() % 3 == 0 ? 255 : random());
        MemoryRows source(from, pixels);
        std::vector<uint8_t> fastest(size_t(to.width) * to.height * 3), portable(fastest.size());
        ASSERT_TRUE(reduceAreaAverage(source, to, fastest.data(), ptrdiff_t(to.width) * 3));
        ASSERT_TRUE(reduceAreaAverage(source, to, portable.data(), ptrdiff_t(to.width) * 3, AreaAverageRoad::Portable));
        ASSERT_EQ(fastest, portable);
    }
}

TEST(AreaAverage, FittedSizeKeepsTheAspectWithinTheBounds) {
    const struct {
        PictureSize picture, bounds, fitted;
    } cases[] = {
        {{4000, 3000}, {1018, 724}, {965, 724}}, {{3000, 4000}, {1018, 724}, {543, 724}},
        {{2000, 100}, {1000, 1000}, {1000, 50}}, {{10000, 1}, {100, 100}, {100, 1}},
        {{800, 600}, {800, 600}, {800, 600}},    {{900, 600}, {0, 0}, {900, 600}},
    };
    for (const auto& c : cases) {
        const PictureSize f = fittedSize(c.picture, c.bounds);
        EXPECT_EQ(f.width, c.fitted.width) << c.picture.width << "x" << c.picture.height;
        EXPECT_EQ(f.height, c.fitted.height) << c.picture.width << "x" << c.picture.height;
    }
}

std::vector<uint8_t> sampleFile(const std::string& name) {
    std::ifstream in(std::string(EDAMIRU_SAMPLES_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A run-length (RLE8) picture of 64 x 40: bands of four colours.
std::vector<uint8_t> runLengthFile() {
    BmpFixture f;
    f.width = 64;
    f.height = 40;
    f.bitCount = 8;
    f.compression = 1;
    f.clrUsed = 4;
    f.colourTable = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    for (int y = 0; y < f.height; ++y) f.pixels.insert(f.pixels.end(), {32, uint8_t(y % 4), 32, uint8_t(3 - y % 4), 0, 0});
    f.pixels.insert(f.pixels.end(), {0, 1});
    return f.bytes();
}

TEST(FittedPicture, ReducedAsTrueColourThenDitheredAndUnchangedWhenItFits) {
    const struct {
        const char* name;
        std::vector<uint8_t> file;
    } pictures[] = {{"sky (baseline)", sampleFile("page1-sky.jpg")},
                    {"progressive", sampleFile("page2-progressive.jpg")},
                    {"palette", sampleFile("page3-palette.bmp")},
                    {"run-length", runLengthFile()}};
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.name);
        ASSERT_FALSE(picture.file.empty());
        const uint8_t* data = picture.file.data();
        const size_t size = picture.file.size();
        ShownPicture whole(24);
        ASSERT_EQ(showEntry(data, size, whole), 1);
        const PictureSize full = {whole.pictureWidth, whole.pictureHeight};
        const PictureSize bounds = {full.width / 3, full.height / 2};
        const PictureSize to = fittedSize(full, bounds);

        // 24 bits: the area average of the picture as the plain road shows it, or of the JPEG
        // decoded reduced where the road decodes it so.
        ShownPicture source(24);
        const uint8_t reduction = jpegReductionFor(full, to);
        const bool decodedReduced = reduction != 0 && loadReducedJpegPicture(data, size, reduction, source);
        ShownPicture& averaged = decodedReduced ? source : whole;
        ShownPicture reduced(24);
        ASSERT_EQ(showEntryWithin(data, size, reduced, bounds), 1);
        EXPECT_TRUE(reduced.reduced);
        ASSERT_EQ(reduced.pictureWidth, to.width);
        ASSERT_EQ(reduced.pictureHeight, to.height);
        ASSERT_EQ(reduced.bitmapInfo.header.bitCount, 24);
        BitmapRows rows(averaged.bitmapInfo, averaged.pixels.data(), averaged.pitch(),
                        {averaged.pictureWidth, averaged.pictureHeight});
        ASSERT_TRUE(rows.open());
        EXPECT_LE(largestDifference(floatingAreaAverage(rows, to), reduced.pixels.data(), reduced.pitch(), to), 1.0);

        // 8 bits: that reduction dithered.
        ShownPicture dithered(8);
        ASSERT_EQ(showEntryWithin(data, size, dithered, bounds), 1);
        ASSERT_EQ(dithered.bitmapInfo.header.bitCount, 8);
        std::vector<uint8_t> expected(dithered.pixels.size(), 0);
        ditherToHalftone(reduced.pixels.data(), expected.data(), to.width, to.height, 24,
                         windowsHalftonePalette().cubeTable);
        EXPECT_EQ(dithered.pixels, expected);

        // Bounds it fits in: the plain road's picture, byte for byte.
        for (int depth : {24, 8}) {
            ShownPicture plain(depth), fitted(depth);
            ASSERT_EQ(showEntry(data, size, plain), 1);
            ASSERT_EQ(showEntryWithin(data, size, fitted, full), 1);
            EXPECT_FALSE(fitted.reduced);
            EXPECT_EQ(fitted.pixels, plain.pixels) << depth;
            EXPECT_EQ(fitted.bitmapInfo.header.bitCount, plain.bitmapInfo.header.bitCount) << depth;
        }
    }
}

}  // namespace
