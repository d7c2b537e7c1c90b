// Interleaved sequential scans: block decoding, MCU placement, colour and failures.
#include <gtest/gtest.h>

#include "jpeg_stream_builder.h"
#include "viewer_decode.h"

namespace {

// A colour picture of DC-only blocks at quantiser 8: per MCU, the luma DC of each luma
// block, then the Cb and Cr DC values.
struct DcMcu {
    std::vector<int> luma;
    int cb = 0, cr = 0;
};

std::vector<uint8_t> colourDcPicture(uint16_t w, uint16_t h, uint8_t lumaH, uint8_t lumaV,
                                     const std::vector<DcMcu>& mcus, size_t cutAfterMcus = SIZE_MAX) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC0, w, h, {{1, lumaH, lumaV, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}});
    b.testTables().scan({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    BitWriter wr;
    int py = 0, pcb = 0, pcr = 0;
    for (size_t m = 0; m < mcus.size() && m < cutAfterMcus; ++m) {
        for (int y : mcus[m].luma) {
            putSequentialBlock(wr, y - py, {});
            py = y;
        }
        putSequentialBlock(wr, mcus[m].cb - pcb, {});
        pcb = mcus[m].cb;
        putSequentialBlock(wr, mcus[m].cr - pcr, {});
        pcr = mcus[m].cr;
    }
    if (cutAfterMcus < mcus.size()) {  // the next MCU's luma only, then the data ends
        putSequentialBlock(wr, 40, {});
        wr.flush();
        return b.raw(wr.bytes).bytes;
    }
    return b.entropy(wr).eoi().bytes;
}

void expectPixel(const ViewerPicture& p, uint32_t x, uint32_t y, int b, int g, int r) {
    const uint8_t* px = p.pixel(x, y);
    EXPECT_EQ(px[0], b) << x << "," << y;
    EXPECT_EQ(px[1], g) << x << "," << y;
    EXPECT_EQ(px[2], r) << x << "," << y;
}

}  // namespace

TEST(JpegSequential, Grey17x9FillsThreeByTwoMcus) {
    ViewerPicture p = decodeAsViewer(greyDcPicture(17, 9, {-50, -30, -10, 10, 30, 50}));
    ASSERT_TRUE(p.probed);
    EXPECT_EQ(p.decodeResult, 1);
    EXPECT_EQ(p.bitmapWidth, 24u);
    EXPECT_EQ(p.bitmapHeight, 16u);
    EXPECT_EQ(p.shownWidth, 17u);
    EXPECT_EQ(p.shownHeight, 9u);
    const int samples[6] = {78, 98, 118, 138, 158, 178};
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 24; ++x) {
            int s = samples[(y / 8) * 3 + x / 8];
            expectPixel(p, x, y, s, s, s);
        }
}

TEST(JpegSequential, ColourUsesTwoTruncatedGreenTerms) {
    // Y = 128 units, Cb = +1 unit, Cr = -1 unit: blue 131072 + 1815, green 131072 - 352 + 731,
    // red 131072 - 1436.
    ViewerPicture p = decodeAsViewer(colourDcPicture(8, 8, 1, 1, {{{0}, 1, -1}}));
    ASSERT_EQ(p.decodeResult, 1);
    expectPixel(p, 3, 5, 129, 128, 126);
}

TEST(JpegSequential, TwoByTwoMcusAreSixteenPixelsSquare) {
    // 32x16: two MCUs side by side; luma blocks top-left, top-right, bottom-left, bottom-right.
    ViewerPicture p = decodeAsViewer(colourDcPicture(32, 16, 2, 2, {{{-40, -20, 0, 20}, 0, 0}, {{40, 60, 80, 100}, 0, 0}}));
    ASSERT_EQ(p.decodeResult, 1);
    expectPixel(p, 0, 0, 88, 88, 88);
    expectPixel(p, 15, 0, 108, 108, 108);
    expectPixel(p, 0, 15, 128, 128, 128);
    expectPixel(p, 15, 15, 148, 148, 148);
    expectPixel(p, 16, 0, 168, 168, 168);
    expectPixel(p, 31, 15, 228, 228, 228);
}

TEST(JpegSequential, TwoByOneMcusShareChromaSideBySide) {
    ViewerPicture p = decodeAsViewer(colourDcPicture(16, 8, 2, 1, {{{0, 0}, 2, 0}}));
    ASSERT_EQ(p.decodeResult, 1);
    // Cb of two units: blue +3630 -> 131, green -704 -> 127.
    for (uint32_t x = 0; x < 16; ++x) expectPixel(p, x, 7, 131, 127, 128);
}

TEST(JpegSequential, AFailedMcuWritesNothing) {
    std::vector<DcMcu> mcus = {{{0}, 0, 0}, {{0}, 0, 0}, {{0}, 0, 0}};
    ViewerPicture p = decodeAsViewer(colourDcPicture(24, 8, 1, 1, mcus, 1));
    ASSERT_TRUE(p.probed);
    EXPECT_EQ(p.decodeResult, 0);
    expectPixel(p, 7, 7, 128, 128, 128);
    expectPixel(p, 8, 0, 0, 0, 0);  // its luma was decoded, its chroma ran out
    expectPixel(p, 16, 0, 0, 0, 0);
}

TEST(JpegSequential, MissingEndOfImageStillWritesEveryMcu) {
    std::vector<uint8_t> data = greyDcPicture(16, 8, {10, 20});
    data.resize(data.size() - 2);
    ViewerPicture p = decodeAsViewer(data);
    EXPECT_EQ(p.decodeResult, 0);
    expectPixel(p, 15, 7, 148, 148, 148);
}

// Runs that end on coefficient 63 decode like the same coefficient coded directly.
TEST(JpegSequential, RunsPastTheEndLandOnTheLastCoefficient) {
    auto picture = [](void (*code)(BitWriter&)) {
        JpegStreamBuilder b;
        b.soi().dqtFlat(0, 8).frame(0xC0, 8, 8, {{1, 1, 1, 0}}).testTables().scan({{1, 0, 0}});
        BitWriter w;
        code(w);
        return decodeAsViewer(b.entropy(w).eoi().bytes);
    };
    ViewerPicture direct = picture([](BitWriter& w) { putSequentialBlock(w, 0, {{63, 7}}); });
    ViewerPicture pastEnd = picture([](BitWriter& w) {
        putDcSymbol(w, 0);
        for (int i = 0; i < 3; ++i) putAcSymbol(w, 15, 0);  // k = 49
        putAcSymbol(w, 10, 1);                              // -1 at 59
        w.put(0, 1);
        putAcSymbol(w, 10, 3);                              // 60 + 10 = 70: 7 at coefficient 63
        w.put(7, 3);
    });
    ViewerPicture zrlAt60 = picture([](BitWriter& w) {
        putDcSymbol(w, 0);
        for (int i = 0; i < 3; ++i) putAcSymbol(w, 15, 0);  // k = 49
        putAcSymbol(w, 10, 1);                              // coefficient at 59
        w.put(0, 1);
        putAcSymbol(w, 15, 0);                              // ZRL at 60 ends the block
    });
    ViewerPicture reference59 = picture([](BitWriter& w) { putSequentialBlock(w, 0, {{59, -1}}); });
    ViewerPicture reference59and63 = picture([](BitWriter& w) { putSequentialBlock(w, 0, {{59, -1}, {63, 7}}); });
    EXPECT_EQ(pastEnd.bitmap, reference59and63.bitmap);
    EXPECT_EQ(zrlAt60.bitmap, reference59.bitmap);
    EXPECT_NE(direct.bitmap, reference59.bitmap);
    EXPECT_EQ(zrlAt60.decodeResult, 1);
}

TEST(JpegSequential, EndOfBlockWithARunEndsTheBlock) {
    auto picture = [](int endSymbolRun) {
        JpegStreamBuilder b;
        b.soi().dqtFlat(0, 8).frame(0xC0, 8, 8, {{1, 1, 1, 0}}).testTables().scan({{1, 0, 0}});
        BitWriter w;
        putDcSymbol(w, 0);
        putAcSymbol(w, 0, 2);
        w.put(3, 2);
        putAcSymbol(w, endSymbolRun, 0);
        return decodeAsViewer(b.entropy(w).eoi().bytes);
    };
    ViewerPicture plain = picture(0), withRun = picture(3);
    EXPECT_EQ(withRun.decodeResult, 1);
    EXPECT_EQ(plain.bitmap, withRun.bitmap);
}

TEST(JpegSequential, GreySampledTwoByTwoIsPlacedOnItsBlockGrid) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC0, 16, 8, {{1, 2, 2, 0}}).testTables().scan({{1, 0, 0}});
    BitWriter w;
    putSequentialBlock(w, 10, {});
    putSequentialBlock(w, 0, {});
    ViewerPicture p = decodeAsViewer(b.entropy(w).eoi().bytes);
    ASSERT_EQ(p.bitmapHeight, 16u);
    EXPECT_EQ(p.decodeResult, 1);
    expectPixel(p, 15, 7, 138, 138, 138);
    expectPixel(p, 0, 8, 0, 0, 0);  // rows beyond the frame's blocks keep the bitmap's black
}
