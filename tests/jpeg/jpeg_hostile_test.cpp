// Crafted streams that once let one page change the pictures after it, freeze the decoder or
// read past the marker: each is decoded with the helper thread taking all work as early as it
// may, and without the helper, and the two pictures must agree with each other and with what
// the scans say.
#include <gtest/gtest.h>

#include "jpeg_decoder.h"
#include "jpeg_helper_thread.h"
#include "jpeg_stream_builder.h"
#include "viewer_decode.h"

namespace {

ViewerPicture decodeWith(const std::vector<uint8_t>& file, bool eager) {
    HelperThread::SetEager(eager);
    HelperThread::SetEnabled(eager);
    ViewerPicture picture = decodeAsViewer(file);
    HelperThread::SetEager(false);
    HelperThread::SetEnabled(true);
    return picture;
}

// Both roads must give the same bytes; the one-thread picture is returned.
ViewerPicture decodeBothWays(const std::vector<uint8_t>& file) {
    ViewerPicture eager = decodeWith(file, true), alone = decodeWith(file, false);
    EXPECT_EQ(eager.bitmap, alone.bitmap);
    EXPECT_EQ(eager.decodeResult, alone.decodeResult);
    return alone;
}

// An AC block holding one value at zig-zag position `position` of a band that starts there.
void putAcValue(BitWriter& w, int value) {
    int s = magnitudeSize(value);
    putAcSymbol(w, 0, s);
    w.put(magnitudeBits(value, s), s);
}

std::vector<uint8_t> greyProgressiveDcOnly(uint16_t w, uint16_t h) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC2, w, h, {{1, 1, 1, 0}}).testTables().scan({{1, 0, 0}}, 0, 0);
    BitWriter bits;
    for (uint32_t i = 0; i < uint32_t(w / 8) * (h / 8); ++i) putDc(bits, 0);
    return b.entropy(bits).eoi().bytes;
}

// True when the 8x8 block at (bx, by) is not flat along its top row.
bool blockVaries(const ViewerPicture& p, uint32_t bx, uint32_t by) {
    return p.pixel(8 * bx, 8 * by)[0] != p.pixel(8 * bx + 7, 8 * by)[0];
}

}  // namespace

// An AC scan naming the luminance and a chroma component of a 4:2:0 frame decodes luminance
// block m for MCU m: the first quarter of the blocks, far behind the scan's MCU rows.
TEST(JpegHostile, AcScanOfSeveralComponentsWritesStoredLuminanceOrder) {
    constexpr uint16_t kW = 256, kH = 128;
    constexpr uint32_t kMcus = (kW / 16) * (kH / 16), kLumaAcross = kW / 8;
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC2, kW, kH, {{1, 2, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).testTables();
    b.scan({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 0, 0);
    BitWriter dc;
    for (uint32_t m = 0; m < kMcus * 6; ++m) putDc(dc, 0);
    b.entropy(dc).scan({{1, 0, 0}, {2, 0, 0}}, 1, 1);
    BitWriter ac;
    for (uint32_t m = 0; m < kMcus; ++m) putAcValue(ac, int(m % 5) + 3);
    ViewerPicture picture = decodeBothWays(b.entropy(ac).eoi().bytes);
    for (uint32_t block = 0; block < kMcus * 4; ++block)
        ASSERT_EQ(blockVaries(picture, block % kLumaAcross, block / kLumaAcross), block < kMcus) << block;

    // The kept coefficient store is clear for the next picture of the same size.
    ViewerPicture next = decodeWith(greyProgressiveDcOnly(kW, kH), true);
    for (size_t i = 0; i < next.bitmap.size(); ++i) ASSERT_EQ(next.bitmap[i], 128) << i;
}

// Scans whose band starts above its end read nothing: passed over, they cost no work, and
// the scan after them still counts.
TEST(JpegHostile, ScansWithAnEmptyBandCostNothing) {
    constexpr uint16_t kSide = 64;
    auto build = [](int emptyScans) {
        JpegStreamBuilder b;
        b.soi().dqtFlat(0, 8).frame(0xC2, kSide, kSide, {{1, 1, 1, 0}}).testTables().scan({{1, 0, 0}}, 0, 0);
        BitWriter dc;
        for (int i = 0; i < 64; ++i) putDc(dc, i % 9 - 4);
        b.entropy(dc);
        for (int i = 0; i < emptyScans; ++i) b.scan({{1, 0, 0}}, 2, 1);
        b.scan({{1, 0, 0}}, 1, 1);
        BitWriter ac;
        for (int i = 0; i < 64; ++i) putAcValue(ac, 5);
        return b.entropy(ac).eoi().bytes;
    };
    ViewerPicture plain = decodeBothWays(build(0)), padded = decodeBothWays(build(3000));
    EXPECT_EQ(padded.bitmap, plain.bitmap);
    EXPECT_EQ(padded.work, plain.work);
    EXPECT_TRUE(blockVaries(padded, 7, 7));
}

// Scans that cover the picture with end-of-band runs, and progressive passes begun again by
// scans that stop at once, end once the work reaches its budget.
TEST(JpegHostile, RepeatedWholePictureWorkStopsAtTheBudget) {
    constexpr uint16_t kSide = 64;
    constexpr uint64_t kBlocks = (kSide / 8) * (kSide / 8);
    auto start = [] {
        JpegStreamBuilder b;
        b.soi().dqtFlat(0, 8).frame(0xC2, kSide, kSide, {{1, 1, 1, 0}}).testTables().scan({{1, 0, 0}}, 0, 0);
        BitWriter dc;
        for (uint64_t i = 0; i < kBlocks; ++i) putDc(dc, 3);
        return b.entropy(dc);
    };
    JpegStreamBuilder runs = start();
    for (int i = 0; i < 1000; ++i) {
        runs.scan({{1, 0, 0}}, 1, 63);
        BitWriter eob;
        putAcSymbol(eob, 6, 0);  // a run of 64 blocks: the whole picture
        eob.put(0, 6);
        runs.entropy(eob);
    }
    JpegStreamBuilder passes = start();
    for (int i = 0; i < 1000; ++i) passes.scan({{1, 0, 0}}, 0, 0, 1, 0).marker(0xD0);

    const uint64_t budget = JpegDecoder::kWorkPerFrameBlock * kBlocks;
    for (JpegStreamBuilder* b : {&runs, &passes}) {
        ViewerPicture picture = decodeBothWays(b->eoi().bytes);
        EXPECT_LE(picture.work, budget);
        EXPECT_GT(picture.work, budget - 2 * kBlocks);
        EXPECT_EQ(picture.decodeResult, 0);
    }
    // The runs leave the DC scan's picture; each pass begun again writes its own, empty one.
    EXPECT_EQ(decodeBothWays(runs.bytes).pixel(4, 4)[0], 128 + 3);
}

// A DC scan may name one component again and again, so that one MCU holds far more data than
// the fast reader's usual distance from the marker allows for: 40 times a 2x2 luminance, 160
// blocks. The data ends inside the second MCU on a byte boundary, so that zero bits past it
// would read as valid codes; the blocks after the end are not written.
TEST(JpegHostile, DcScanOfManyComponentsStopsAtTheMarker) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC2, 64, 16, {{1, 2, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).testTables();
    b.scan(std::vector<TestScanComponent>(40, TestScanComponent{1, 0, 0}), 0, 0);
    BitWriter w;
    // Every component but the last leaves 1000, 0, 1000, 0 in the blocks; the last leaves 12.
    for (int component = 0; component < 40; ++component)
        for (int block = 0; block < 4; ++block) putDc(w, component == 39 ? (block > 0 ? 0 : 12) : block % 2 ? -1000 : 1000);
    for (int component = 0; component < 25; ++component)  // the second MCU, cut short
        for (int block = 0; block < 4; ++block) putDc(w, block % 2 ? -1000 : 1000);
    putDc(w, 0);  // 3608 bits: no padding
    ViewerPicture picture = decodeBothWays(b.entropy(w).eoi().bytes);
    // MCU 0 from the last component; MCU 1 as far as the data goes; MCUs 2 and 3 untouched.
    const uint32_t x[5] = {4, 20, 20, 36, 52}, y[5] = {4, 4, 12, 4, 4};
    const uint8_t expected[5] = {128 + 12, 128, 255, 128, 128};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(picture.pixel(x[i], y[i])[0], expected[i]) << i;
}

// An interleaved baseline scan without the luminance writes from the luminance and partial
// greens that the MCU before it left: the same on one thread and on two.
TEST(JpegHostile, InterleavedScanWithoutLuminanceKeepsTheOneThreadPicture) {
    constexpr uint16_t kW = 512, kH = 64;
    constexpr uint32_t kMcus = (kW / 8) * (kH / 8);
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC0, kW, kH, {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).testTables();
    b.scan({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    BitWriter full;
    for (uint32_t m = 0; m < kMcus; ++m) {
        int y = int(m % 23) * 5 - 50, cb = int(m % 7) * 9 - 27, cr = int(m % 11) * 6 - 30;
        putSequentialBlock(full, m == 0 ? y : y - (int(m - 1) % 23 * 5 - 50), {{1, int(m % 3)}});
        putSequentialBlock(full, m == 0 ? cb : cb - (int(m - 1) % 7 * 9 - 27), {});
        putSequentialBlock(full, m == 0 ? cr : cr - (int(m - 1) % 11 * 6 - 30), {});
    }
    b.entropy(full).scan({{2, 0, 0}, {3, 0, 0}, {2, 0, 0}});
    BitWriter chroma;
    for (uint32_t m = 0; m < kMcus * 3; ++m) putSequentialBlock(chroma, m == 0 ? 20 : int(m % 5) - 2, {});
    decodeBothWays(b.entropy(chroma).eoi().bytes);
}
