// The ordered dither to the halftone palette: levels by position, channel order, row padding.
#include <gtest/gtest.h>

#include <vector>

#include "image/bitmap_info.h"
#include "image/dither.h"
#include "image/halftone_tables.h"

namespace {

// A 24-bit bottom-up picture of one colour (blue, green, red), padding bytes set to `padding`.
std::vector<uint8_t> flat24(uint32_t width, uint32_t height, uint8_t b, uint8_t g, uint8_t r,
                            uint8_t padding = 0) {
    const size_t pitch = rowPitch(width, 24);
    std::vector<uint8_t> p(pitch * height, padding);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            p[y * pitch + 3 * x] = b;
            p[y * pitch + 3 * x + 1] = g;
            p[y * pitch + 3 * x + 2] = r;
        }
    }
    return p;
}

std::vector<uint8_t> dither(const std::vector<uint8_t>& source, uint32_t width, uint32_t height,
                            uint8_t fill = 0xEE) {
    std::vector<uint8_t> out(rowPitch(width, 8) * height, fill);
    ditherToHalftone(source.data(), out.data(), width, height, 24, cubeToPalette);
    return out;
}

uint8_t at(const std::vector<uint8_t>& indexes, uint32_t width, uint32_t x, uint32_t y) {
    return indexes[rowPitch(width, 8) * y + x];
}

constexpr int kGreyCube(int level) { return 43 * level; }  // 36 + 6 + 1 per level

}  // namespace

TEST(Dither, BlackAndWhiteAreTheFirstAndLastEntryEverywhere) {
    const uint32_t w = 13, h = 11;
    const auto black = dither(flat24(w, h, 0, 0, 0, 0xFF), w, h);
    const auto white = dither(flat24(w, h, 255, 255, 255, 0), w, h);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            ASSERT_EQ(at(black, w, x, y), 0) << x << "," << y;
            ASSERT_EQ(at(white, w, x, y), 255) << x << "," << y;
        }
    }
}

TEST(Dither, MidGreyTakesLevelTwoOrThreeByPosition) {
    // 128 = 2 · 51 + 26: level 3 where the threshold is below 26, else level 2.
    const uint32_t w = 16, h = 16;
    const auto out = dither(flat24(w, h, 128, 128, 128), w, h);
    const uint8_t level2 = cubeToPalette[kGreyCube(2)], level3 = cubeToPalette[kGreyCube(3)];
    EXPECT_EQ(at(out, w, 0, 0), level3);   // threshold 0
    EXPECT_EQ(at(out, w, 0, 1), level2);   // threshold 38: the column is y
    EXPECT_EQ(at(out, w, 1, 0), level3);   // threshold 25
    EXPECT_EQ(at(out, w, 3, 0), level2);   // threshold 31
    EXPECT_EQ(at(out, w, 8, 9), level2);   // repeats every 8: threshold 38
    EXPECT_EQ(at(out, w, 15, 15), level3); // threshold 16
    int threes = 0;
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 8; ++x) threes += at(out, w, x, y) == level3;
    EXPECT_EQ(threes, 33);  // the thresholds 0..25 of the matrix
}

TEST(Dither, ChannelsAreReadBlueGreenRed) {
    EXPECT_EQ(dither(flat24(1, 1, 0, 0, 255), 1, 1)[0], 249);   // red
    EXPECT_EQ(dither(flat24(1, 1, 0, 255, 0), 1, 1)[0], 250);   // green
    EXPECT_EQ(dither(flat24(1, 1, 255, 0, 0), 1, 1)[0], 252);   // blue
    EXPECT_EQ(dither(flat24(1, 1, 0, 0, 51), 1, 1)[0], cubeToPalette[1]);
    EXPECT_EQ(dither(flat24(1, 1, 51, 0, 0), 1, 1)[0], cubeToPalette[36]);
    EXPECT_EQ(dither(flat24(1, 1, 0, 51, 0), 1, 1)[0], cubeToPalette[6]);
}

TEST(Dither, OddWidthsSkipPaddingOnBothSides) {
    for (uint32_t w : {1u, 2u, 3u, 5u, 7u}) {
        const uint32_t h = 3;
        // Black pixels with white padding bytes: the padding must never be read as a pixel.
        const auto out = dither(flat24(w, h, 0, 0, 0, 0xFF), w, h, 0xEE);
        const size_t pitch = rowPitch(w, 8);
        for (uint32_t y = 0; y < h; ++y) {
            for (size_t x = 0; x < pitch; ++x) {
                EXPECT_EQ(out[y * pitch + x], x < w ? 0 : 0xEE) << "w=" << w << " x=" << x << " y=" << y;
            }
        }
    }
}

TEST(Dither, UsesTheGivenTable) {
    uint8_t table[216];
    for (int i = 0; i < 216; ++i) table[i] = uint8_t(215 - i);
    std::vector<uint8_t> out(4, 0);
    const auto white = flat24(1, 1, 255, 255, 255);
    ditherToHalftone(white.data(), out.data(), 1, 1, 24, table);
    EXPECT_EQ(out[0], 0);
}

TEST(HalftoneTables, QuotientsRemaindersAndMultiples) {
    EXPECT_EQ(quotientBy51[255], 5);
    EXPECT_EQ(remainderBy51[255], 0);
    EXPECT_EQ(quotientBy51[254], 4);
    EXPECT_EQ(remainderBy51[254], 50);
    for (int v = 0; v < 256; ++v) ASSERT_EQ(51 * quotientBy51[v] + remainderBy51[v], v);
    EXPECT_EQ(blueMultiple[5], 180);
    EXPECT_EQ(greenMultiple[5], 30);
    int high = 0;
    for (auto& row : ditherMatrix)
        for (uint8_t d : row) high = d > high ? d : high;
    EXPECT_EQ(high, 50);
}

TEST(HalftoneTables, CubeTableSharesOnlyGreenAndBlueEntries) {
    int counts[256] = {};
    for (uint8_t e : cubeToPalette) ++counts[e];
    for (int k = 0; k < 256; ++k) {
        if (k == 250 || k == 252) {
            EXPECT_EQ(counts[k], 3) << k;
        } else {
            EXPECT_LE(counts[k], 1) << k;
        }
    }
    EXPECT_EQ(cubeToPalette[0], 0);
    EXPECT_EQ(cubeToPalette[215], 255);
    EXPECT_EQ(cubeToPalette[108], 133);
    EXPECT_EQ(cubeToPalette[184], 128);
}
