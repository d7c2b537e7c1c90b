// Scans with fewer components than the frame, blended into the picture scan by scan.
#include <gtest/gtest.h>

#include "jpeg_messages.h"
#include "jpeg_stream_builder.h"
#include "viewer_decode.h"

namespace {

// 8x8 (or 16x16 with 2x2 luma), one scan per component; DC-only blocks at quantiser 8.
std::vector<uint8_t> separateScans(uint8_t lumaH, uint8_t lumaV, int yDc, int cbDc, int crDc, bool withEoi = true,
                                   bool greyOnly = false, uint16_t restart = 0) {
    uint16_t size = static_cast<uint16_t>(8 * lumaH);
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC0, size, size, {{1, lumaH, lumaV, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).testTables();
    if (restart) b.dri(restart);
    int blocks = lumaH * lumaV;
    b.scan({{1, 0, 0}});
    BitWriter w;
    for (int i = 0; i < blocks; ++i) putSequentialBlock(w, i == 0 ? yDc : 0, {});
    b.entropy(w);
    if (!greyOnly) {
        for (auto [id, dc] : {std::pair<uint8_t, int>{2, cbDc}, {3, crDc}}) {
            b.scan({{id, 0, 0}});
            BitWriter c;
            putSequentialBlock(c, dc, {});
            b.entropy(c);
        }
    }
    if (withEoi) b.eoi();
    return b.bytes;
}

}  // namespace

TEST(JpegNonInterleaved, BlueDifferenceOfOneUnitOnGrey100) {
    // Y DC -28 gives grey 100; Cb DC 1 is c = 1024: blue 101, green (102400 - 352) >> 10 = 99.
    ViewerPicture p = decodeAsViewer(separateScans(1, 1, -28, 1, 0));
    ASSERT_EQ(p.decodeResult, 1);
    const uint8_t* px = p.pixel(5, 6);
    EXPECT_EQ(px[0], 101);
    EXPECT_EQ(px[1], 99);
    EXPECT_EQ(px[2], 100);
}

TEST(JpegNonInterleaved, RedDifferenceShiftsRedAndGreen) {
    // Cr DC -1: rOff = -1436, gOff = -731: red 98, green (99 * 1024 + 731) >> 10 = 99.
    ViewerPicture p = decodeAsViewer(separateScans(1, 1, -28, 1, -1));
    const uint8_t* px = p.pixel(0, 0);
    EXPECT_EQ(px[0], 101);
    EXPECT_EQ(px[1], 99);
    EXPECT_EQ(px[2], 98);
}

TEST(JpegNonInterleaved, ChromaCoversTwoByTwoPixelsOfTheMcu) {
    ViewerPicture p = decodeAsViewer(separateScans(2, 2, 0, 2, 0));
    ASSERT_EQ(p.decodeResult, 1);
    // Luma block 0 has DC 0 (grey 128), blocks 1..3 DC 0 as well; Cb of two units everywhere.
    for (uint32_t y : {0u, 15u})
        for (uint32_t x : {0u, 15u}) {
            EXPECT_EQ(p.pixel(x, y)[0], 131) << x << "," << y;
            EXPECT_EQ(p.pixel(x, y)[1], 127) << x << "," << y;
        }
}

TEST(JpegNonInterleaved, EndingAfterTheGreyScanLeavesAGreyPicture) {
    ViewerPicture cut = decodeAsViewer(separateScans(1, 1, -28, 0, 0, false, true));
    EXPECT_EQ(cut.decodeResult, 0);
    EXPECT_EQ(cut.pixel(7, 7)[0], 100);
    ViewerPicture ended = decodeAsViewer(separateScans(1, 1, -28, 0, 0, true, true));
    EXPECT_EQ(ended.decodeResult, 1);
    EXPECT_EQ(ended.bitmap, cut.bitmap);
}

TEST(JpegNonInterleaved, RestartMarkersRefuseTheScan) {
    ViewerPicture p = decodeAsViewer(separateScans(1, 1, -28, 1, 0, true, false, 1));
    EXPECT_EQ(p.decodeResult, 0);
    EXPECT_FALSE(p.anyWritten());
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0], jpeg_text::kUnsupported);
}
