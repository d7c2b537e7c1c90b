// The BMP file of the picture as shown: layout, sizes, rows below and columns beside the picture.
#include <gtest/gtest.h>

#include <vector>

#include "image/bmp_writer.h"

namespace {

uint32_t le32(const std::vector<uint8_t>& f, size_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& f, size_t at) { return uint16_t(f[at] | f[at + 1] << 8); }

// A bitmap whose every byte tells its row: byte = row number.
std::vector<uint8_t> rowNumbered(size_t pitch, uint32_t rows) {
    std::vector<uint8_t> p(pitch * rows);
    for (uint32_t y = 0; y < rows; ++y)
        for (size_t i = 0; i < pitch; ++i) p[y * pitch + i] = uint8_t(y);
    return p;
}

BitmapInfo header(int32_t width, int32_t height, uint16_t depth) {
    BitmapInfo info{};
    info.header.width = width;
    info.header.height = height;
    info.header.bitCount = depth;
    info.header.xPelsPerMeter = 2835;
    return info;
}

}  // namespace

TEST(WritePictureBmp, JpegBitmapOfWholeMcusGivesThePictureSize24Bit) {
    const BitmapInfo info = header(112, 80, 24);
    const auto pixels = rowNumbered(336, 80);
    std::vector<uint8_t> f;
    ASSERT_TRUE(writePictureBmp(info, 100, 75, pixels.data(), 336, 80, f));
    ASSERT_EQ(f.size(), 22554u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(le32(f, 2), 22554u);
    EXPECT_EQ(le32(f, 6), 0u);
    EXPECT_EQ(le32(f, 10), 54u);
    EXPECT_EQ(le32(f, 14), 40u);
    EXPECT_EQ(le32(f, 18), 100u);
    EXPECT_EQ(le32(f, 22), 75u);
    EXPECT_EQ(le16(f, 26), 1);
    EXPECT_EQ(le16(f, 28), 24);
    EXPECT_EQ(le32(f, 30), 0u);
    EXPECT_EQ(le32(f, 34), 7500u);
    EXPECT_EQ(le32(f, 38), 2835u);
    // The five rows below the picture are left out: the first row written is bitmap row 5.
    EXPECT_EQ(f[54], 5);
    EXPECT_EQ(f[54 + 300], 6);
    EXPECT_EQ(f.back(), 79);
}

TEST(WritePictureBmp, EightBitPictureCarriesAll256Colours) {
    BitmapInfo info = header(112, 80, 8);
    for (int i = 0; i < 256; ++i) info.colours[i] = ColourEntry{uint8_t(i), 1, 2, 0x77};
    const auto pixels = rowNumbered(112, 80);
    std::vector<uint8_t> f;
    ASSERT_TRUE(writePictureBmp(info, 100, 75, pixels.data(), 112, 80, f));
    ASSERT_EQ(f.size(), 8578u);
    EXPECT_EQ(le32(f, 2), 8578u);
    EXPECT_EQ(le32(f, 10), 1078u);
    EXPECT_EQ(le32(f, 34), 7500u);
    EXPECT_EQ(f[54 + 4 * 200], 200);
    EXPECT_EQ(f[54 + 4 * 200 + 3], 0);  // reserved bytes are written as 0
    EXPECT_EQ(f[1078], 5);
    EXPECT_EQ(f[1078 + 100], 6);  // rows of 100 bytes: columns 100..111 left out
}

TEST(WritePictureBmp, TableSizeFollowsTheDepth) {
    const struct {
        uint16_t depth;
        uint32_t width, offset, rowBytes;
    } cases[] = {{1, 17, 62, 4}, {4, 17, 118, 12}, {16, 3, 54, 8}, {32, 3, 54, 12}};
    for (const auto& c : cases) {
        BitmapInfo info = header(int32_t(c.width), 2, c.depth);
        info.header.clrUsed = 256;
        const auto pixels = rowNumbered(c.rowBytes, 2);
        std::vector<uint8_t> f;
        ASSERT_TRUE(writePictureBmp(info, c.width, 2, pixels.data(), c.rowBytes, 2, f)) << c.depth;
        EXPECT_EQ(le32(f, 10), c.offset) << c.depth;
        EXPECT_EQ(f.size(), c.offset + 2 * c.rowBytes) << c.depth;
        EXPECT_EQ(le32(f, 46), (c.offset - 54) / 4) << c.depth;  // colours used: no more than written
    }
}

TEST(WritePictureBmp, RefusesWhatNoBitmapCouldHoldOrThePixelsDoNotCover) {
    std::vector<uint8_t> pixels(64, 0), f;
    EXPECT_FALSE(writePictureBmp(header(4, 4, 2), 4, 4, pixels.data(), 4, 4, f));
    EXPECT_FALSE(writePictureBmp(header(4, 4, 8), 0, 4, pixels.data(), 4, 4, f));
    EXPECT_FALSE(writePictureBmp(header(4, 4, 8), 4, 5, pixels.data(), 4, 4, f));  // taller than the bitmap
    EXPECT_FALSE(writePictureBmp(header(4, 4, 8), 8, 4, pixels.data(), 4, 4, f));  // wider rows
    EXPECT_TRUE(f.empty());
}
