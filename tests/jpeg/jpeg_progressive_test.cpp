// Progressive scans: DC and AC, first and refinement, end-of-band runs, emission.
// Each progressive picture is checked against a baseline picture with the coefficients
// the scans should leave, since both go through the same transform.
#include <gtest/gtest.h>

#include "jpeg_coefficient_store.h"
#include "jpeg_messages.h"
#include "jpeg_stream_builder.h"
#include "viewer_decode.h"

namespace {

JpegStreamBuilder progressiveGrey(uint16_t w, uint16_t h) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC2, w, h, {{1, 1, 1, 0}}).testTables();
    return b;
}

// A baseline grey picture whose blocks carry the given DC values and AC lists.
ViewerPicture baselineGrey(uint16_t w, uint16_t h, const std::vector<std::pair<int, AcList>>& blocks) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC0, w, h, {{1, 1, 1, 0}}).testTables().scan({{1, 0, 0}});
    BitWriter wr;
    int predictor = 0;
    for (const auto& [dc, ac] : blocks) {
        putSequentialBlock(wr, dc - predictor, ac);
        predictor = dc;
    }
    return decodeAsViewer(b.entropy(wr).eoi().bytes);
}

// A DC first scan of the grey component at Al 0: one difference per block.
void dcFirstScan(JpegStreamBuilder& b, const std::vector<int>& differences) {
    b.scan({{1, 0, 0}}, 0, 0, 0, 0);
    BitWriter dc;
    for (int difference : differences) putDc(dc, difference);
    b.entropy(dc);
}

}  // namespace

TEST(JpegProgressive, DcFirstAndRefinementAtAlOne) {
    JpegStreamBuilder b = progressiveGrey(8, 8);
    b.scan({{1, 0, 0}}, 0, 0, 0, 1);
    BitWriter w;
    putDc(w, -3);  // stored as -6
    b.entropy(w);
    ViewerPicture first = decodeAsViewer(JpegStreamBuilder(b).eoi().bytes);
    b.scan({{1, 0, 0}}, 0, 0, 1, 0);
    BitWriter r;
    r.put(1, 1);  // -6 + 1 = -5
    ViewerPicture refined = decodeAsViewer(b.entropy(r).eoi().bytes);
    EXPECT_EQ(first.bitmap, baselineGrey(8, 8, {{-6, {}}}).bitmap);
    EXPECT_EQ(refined.bitmap, baselineGrey(8, 8, {{-5, {}}}).bitmap);
    EXPECT_EQ(refined.decodeResult, 1);
    ASSERT_FALSE(refined.captions.empty());
    EXPECT_EQ(refined.captions[0], jpeg_text::kProgressive);
    const uint8_t* px = refined.pixel(3, 3);
    EXPECT_EQ(px[0], px[1]);  // grey progressive: equal blue, green and red
    EXPECT_EQ(px[1], px[2]);
}

TEST(JpegProgressive, AcFirstAtAlTwoThenRefinementAtAlOne) {
    JpegStreamBuilder b = progressiveGrey(8, 8);
    dcFirstScan(b, {4});
    b.scan({{1, 0, 0}}, 1, 63, 0, 2);
    BitWriter ac;
    putAcSymbol(ac, 2, 1);  // zeros at 1, 2; -1 * 4 at position 3
    ac.put(0, 1);
    putAcSymbol(ac, 0, 0);
    b.entropy(ac);
    ViewerPicture first = decodeAsViewer(JpegStreamBuilder(b).eoi().bytes);
    EXPECT_EQ(first.bitmap, baselineGrey(8, 8, {{4, {{3, -4}}}}).bitmap);

    b.scan({{1, 0, 0}}, 1, 63, 2, 1);
    BitWriter refine;
    putAcSymbol(refine, 0, 0);  // end of band: correct the non-zero coefficients
    refine.put(1, 1);           // -4 -> -6
    ViewerPicture refined = decodeAsViewer(b.entropy(refine).eoi().bytes);
    EXPECT_EQ(refined.bitmap, baselineGrey(8, 8, {{4, {{3, -6}}}}).bitmap);
}

TEST(JpegProgressive, EndOfBandRunEndsFiveBlocks) {
    JpegStreamBuilder b = progressiveGrey(48, 8);
    dcFirstScan(b, std::vector<int>(6, 0));
    b.scan({{1, 0, 0}}, 1, 63, 0, 0);
    BitWriter ac;
    putAcSymbol(ac, 2, 0);  // EOB run 2^2 + 01 = 5 blocks: 0..4
    ac.put(1, 2);
    putAcSymbol(ac, 0, 2);  // block 5: 3 at position 1
    ac.put(3, 2);
    putAcSymbol(ac, 0, 0);
    ViewerPicture p = decodeAsViewer(b.entropy(ac).eoi().bytes);
    EXPECT_EQ(p.decodeResult, 1);
    EXPECT_EQ(p.bitmap, baselineGrey(48, 8, {{0, {}}, {0, {}}, {0, {}}, {0, {}}, {0, {}}, {0, {{1, 3}}}}).bitmap);
}

TEST(JpegProgressive, RefinementDuringAnEndOfBandRunReadsCorrectionBits) {
    JpegStreamBuilder b = progressiveGrey(24, 8);
    dcFirstScan(b, std::vector<int>(3, 0));
    b.scan({{1, 0, 0}}, 1, 63, 0, 1);
    BitWriter ac;
    putAcSymbol(ac, 0, 1);  // block 0: +2 at 1
    ac.put(1, 1);
    putAcSymbol(ac, 0, 0);
    putAcSymbol(ac, 1, 1);  // block 1: -2 at 2
    ac.put(0, 1);
    putAcSymbol(ac, 0, 0);
    putAcSymbol(ac, 0, 0);  // block 2: nothing
    b.entropy(ac);
    b.scan({{1, 0, 0}}, 1, 63, 1, 0);
    BitWriter refine;
    putAcSymbol(refine, 1, 0);  // EOB run 2 + 1 - 1 = 2 after this block
    refine.put(1, 1);
    refine.put(1, 1);  // block 0: +2 -> +3
    refine.put(1, 1);  // block 1 (in the run): -2 -> -3
    ViewerPicture p = decodeAsViewer(b.entropy(refine).eoi().bytes);
    EXPECT_EQ(p.bitmap, baselineGrey(24, 8, {{0, {{1, 3}}}, {0, {{2, -3}}}, {0, {}}}).bitmap);
}

// 100 x 16 pixels with 2x2 luma: the luma AC scan visits 13 blocks per row while the
// coefficient rows hold 14, so the 14th column keeps its DC-only blocks.
TEST(JpegProgressive, LumaAcScanCoversThirteenOfFourteenBlocks) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC2, 100, 16, {{1, 2, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).testTables();
    b.scan({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 0, 0, 0, 0);
    BitWriter dc;
    for (int m = 0; m < 7; ++m) {
        for (int i = 0; i < 4; ++i) putDc(dc, m == 0 && i < 2 ? (i == 0 ? 20 : -20) : 0);
        putDc(dc, 0);
        putDc(dc, 0);
    }
    b.entropy(dc);
    b.scan({{1, 0, 0}}, 1, 63, 0, 0);
    BitWriter ac;
    for (int block = 0; block < 13 * 2; ++block) {
        putAcSymbol(ac, 0, 3);
        ac.put(5, 3);
        putAcSymbol(ac, 0, 0);
    }
    ViewerPicture progressive = decodeAsViewer(b.entropy(ac).eoi().bytes);
    EXPECT_EQ(progressive.decodeResult, 1);

    JpegStreamBuilder s;
    s.soi().dqtFlat(0, 8).frame(0xC0, 100, 16, {{1, 2, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).testTables();
    s.scan({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    BitWriter seq;
    int predictor = 0;
    for (int m = 0; m < 7; ++m) {
        for (int i = 0; i < 4; ++i) {
            int value = m == 0 && i == 0 ? 20 : 0;
            AcList list;
            if (m < 6 || i % 2 == 0) list = {{1, 5}};  // column 13 is the right half of MCU 6
            putSequentialBlock(seq, value - predictor, list);
            predictor = value;
        }
        putSequentialBlock(seq, 0, {});
        putSequentialBlock(seq, 0, {});
    }
    ViewerPicture baseline = decodeAsViewer(s.entropy(seq).eoi().bytes);
    EXPECT_EQ(progressive.bitmap, baseline.bitmap);
}

TEST(JpegProgressive, DataEndingInsideAnAcScanStillEmitsThePicture) {
    JpegStreamBuilder b = progressiveGrey(16, 8);
    dcFirstScan(b, {10, 0});
    b.scan({{1, 0, 0}}, 1, 63, 0, 0);
    BitWriter ac;
    putAcSymbol(ac, 0, 0);
    ac.put(0, 1);  // the second block's symbol runs out with the data
    ac.flush();
    b.raw({ac.bytes[0]});
    ViewerPicture p = decodeAsViewer(b.bytes);
    EXPECT_EQ(p.decodeResult, 0);  // no end-of-image marker after the frame
    EXPECT_EQ(p.bitmap, baselineGrey(16, 8, {{10, {}}, {10, {}}}).bitmap);
}

TEST(JpegProgressive, UnsupportedLayoutsAreRefusedAtTheFirstScan) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC2, 16, 16, {{1, 1, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).testTables();
    b.scan({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 0, 0, 0, 0).raw({0x00}).eoi();
    ViewerPicture p = decodeAsViewer(b.bytes);
    EXPECT_EQ(p.decodeResult, 0);
    EXPECT_FALSE(p.anyWritten());
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0], jpeg_text::kUnsupported);
}

TEST(JpegProgressive, BandsBeyondTheBlockStayInside) {
    // Se = 200 and Ss > Se: positions past 63 name coefficient 63; nothing is read out of range.
    JpegStreamBuilder b = progressiveGrey(8, 8);
    dcFirstScan(b, {0});
    b.scan({{1, 0, 0}}, 60, 200, 0, 0);
    BitWriter ac;
    putAcSymbol(ac, 14, 1);  // 60 + 14 = 74: coefficient 63
    ac.put(1, 1);
    putAcSymbol(ac, 0, 0);
    b.entropy(ac);
    b.scan({{1, 0, 0}}, 9, 3, 0, 0).raw({0x00});
    ViewerPicture p = decodeAsViewer(b.eoi().bytes);
    EXPECT_EQ(p.decodeResult, 1);
    EXPECT_EQ(p.bitmap, baselineGrey(8, 8, {{0, {{63, 1}}}}).bitmap);
}

// The coefficient storage of one picture is kept for the next: whatever a picture left in it,
// the next one starts from zero coefficients, at the same size and at a larger one.
TEST(JpegProgressive, EveryPictureStartsFromZeroCoefficients) {
    auto dcOnly = [](uint16_t blocks) {
        JpegStreamBuilder b = progressiveGrey(static_cast<uint16_t>(8 * blocks), 8);
        std::vector<int> differences(blocks, 0);
        differences[0] = 10;
        dcFirstScan(b, differences);
        return b.eoi().bytes;
    };
    JpegStreamBuilder busy = progressiveGrey(16, 8);
    dcFirstScan(busy, {10, 0});
    busy.scan({{1, 0, 0}}, 1, 63, 0, 0);
    BitWriter ac;
    for (int block = 0; block < 2; ++block) {
        putAcSymbol(ac, 0, 2);  // 3 at position 1, then end of block
        ac.put(3, 2);
        putAcSymbol(ac, 0, 0);
    }
    ViewerPicture first = decodeAsViewer(busy.entropy(ac).eoi().bytes);
    EXPECT_EQ(first.bitmap, baselineGrey(16, 8, {{10, {{1, 3}}}, {10, {{1, 3}}}}).bitmap);

    EXPECT_EQ(decodeAsViewer(dcOnly(2)).bitmap, baselineGrey(16, 8, {{10, {}}, {10, {}}}).bitmap);
    decodeAsViewer(busy.bytes);
    EXPECT_EQ(decodeAsViewer(dcOnly(5)).bitmap,
              baselineGrey(40, 8, {{10, {}}, {10, {}}, {10, {}}, {10, {}}, {10, {}}}).bitmap);
}

// DC scans long enough to be read word-wide away from the marker and bit by bit near it: the
// values are those of the coded differences and correction bits all along, and a code outside
// the table far from the marker stops the scan at that block.
TEST(JpegProgressive, LongDcScansAndABadCodeFarFromTheMarker) {
    const int blocks = 2000;
    auto dcFirst = [&](int badAt) {
        JpegStreamBuilder b = progressiveGrey(static_cast<uint16_t>(8 * blocks), 8);
        b.scan({{1, 0, 0}}, 0, 0, 0, 1);
        BitWriter w;
        for (int i = 0; i < blocks; ++i) {
            if (i == badAt) w.put(0xFFFF, 16);  // no DC code starts with 1111
            else putDc(w, (i * 7) % 23 - 11);
        }
        return b.entropy(w);
    };
    std::vector<std::pair<int, AcList>> expected;
    int value = 0;
    for (int i = 0; i < blocks; ++i) {
        value += (i * 7) % 23 - 11;
        expected.push_back({2 * value + (i % 3 == 0 ? 1 : 0), {}});
    }
    JpegStreamBuilder refined = dcFirst(-1);
    refined.scan({{1, 0, 0}}, 0, 0, 1, 0);
    BitWriter r;
    for (int i = 0; i < blocks; ++i) r.put(i % 3 == 0 ? 1 : 0, 1);
    ViewerPicture picture = decodeAsViewer(refined.entropy(r).eoi().bytes);
    EXPECT_EQ(picture.decodeResult, 1);
    EXPECT_EQ(picture.bitmap, baselineGrey(8 * blocks, 8, expected).bitmap);

    ViewerPicture stopped = decodeAsViewer(dcFirst(1000).eoi().bytes);
    for (int i = 0; i < blocks; ++i) expected[i].first = i < 1000 ? expected[i].first & ~1 : 0;
    EXPECT_EQ(stopped.decodeResult, 0);
    EXPECT_EQ(stopped.bitmap, baselineGrey(8 * blocks, 8, expected).bitmap);
}

// A band starting at coefficient 0 treats the DC value like any other: an AC first scan
// replaces it where it codes a value, and later DC scans go on from there.
TEST(JpegProgressive, BandsFromCoefficientZeroReachTheDcValue) {
    JpegStreamBuilder b = progressiveGrey(16, 8);
    dcFirstScan(b, {10, -3});  // blocks 0 and 1: 10 and 7
    b.scan({{1, 0, 0}}, 0, 2, 0, 1);
    BitWriter ac;
    putAcSymbol(ac, 0, 5);  // block 0: coefficient 0 becomes 20 * 2
    ac.put(magnitudeBits(20, 5), 5);
    putAcSymbol(ac, 0, 0);  // end of block
    putAcSymbol(ac, 1, 2);  // block 1: position 0 skipped (its DC value stays), 3 * 2 at position 1
    ac.put(magnitudeBits(3, 2), 2);
    putAcSymbol(ac, 0, 0);
    b.entropy(ac);
    ViewerPicture first = decodeAsViewer(JpegStreamBuilder(b).eoi().bytes);
    EXPECT_EQ(first.bitmap, baselineGrey(16, 8, {{40, {}}, {7, {{1, 6}}}}).bitmap);

    b.scan({{1, 0, 0}}, 0, 0, 1, 0);  // DC refinement: one bit per block on the new values
    BitWriter refine;
    refine.put(1, 1);
    refine.put(1, 1);
    ViewerPicture refined = decodeAsViewer(b.entropy(refine).eoi().bytes);
    EXPECT_EQ(refined.bitmap, baselineGrey(16, 8, {{41, {}}, {8, {{1, 6}}}}).bitmap);
}

// The store holds 16-bit coefficients until a value does not fit, then widens mid-decode. A
// 4:2:0 picture whose later DC scans (shift 4) overflow 16 bits at the scan's very last block,
// twice (the second widening being no more than the first), decodes as on the 32-bit road from the start; so does its twin whose values fit, and
// which never widens.
TEST(JpegProgressive, WideningMidDecodeMatchesTheThirtyTwoBitRoad) {
    auto build = [](bool overflow) {
        JpegStreamBuilder b;
        b.soi().dqtFlat(0, 2).frame(0xC2, 32, 32, {{1, 2, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).testTables();
        const std::vector<TestScanComponent> all{{1, 0, 0}, {2, 0, 0}, {3, 0, 0}};
        // Four MCUs of four luma blocks and one of each chroma: the last block is the red
        // difference of MCU 3.
        auto dcScan = [&](uint8_t al, int lastRed) {
            b.scan(all, 0, 0, 0, al);
            BitWriter w;
            for (int m = 0; m < 4; ++m) {
                for (int i = 0; i < 4; ++i) putDc(w, (m * 4 + i) % 7 - 3);
                putDc(w, m == 0 ? -40 : 5);
                putDc(w, m == 0 ? 1000 : m == 3 ? lastRed : 0);  // red: 1000, 1000, 1000, 1000 + lastRed
            }
            b.entropy(w);
        };
        dcScan(1, 7);
        for (uint8_t id = 1; id <= 3; ++id) {
            b.scan({{id, 0, 0}}, 1, 63, 0, 0);
            BitWriter w;
            for (int block = 0; block < (id == 1 ? 16 : 4); ++block) {
                int low = (block % 5 - 2) * 3 + 1, high = 200 * block - 700 * id;
                putAcSymbol(w, 0, magnitudeSize(low));
                w.put(magnitudeBits(low, magnitudeSize(low)), magnitudeSize(low));
                putAcSymbol(w, 3, magnitudeSize(high));
                w.put(magnitudeBits(high, magnitudeSize(high)), magnitudeSize(high));
                putAcSymbol(w, 0, 0);
            }
            b.entropy(w);
        }
        b.scan(all, 0, 0, 1, 0);
        BitWriter refine;
        for (int block = 0; block < 24; ++block) refine.put(block % 3 == 0 ? 1 : 0, 1);
        b.entropy(refine);
        dcScan(4, overflow ? 1100 : -900);  // 2100 * 16 does not fit 16 bits
        dcScan(4, overflow ? 1500 : -990);
        return b.eoi().bytes;
    };
    for (bool overflow : {false, true}) {
        const std::vector<uint8_t> file = build(overflow);
        CoefficientStore::ResetLargest();
        ViewerPicture narrow = decodeAsViewer(file);
        const size_t narrowLargest = CoefficientStore::LargestBytes();
        CoefficientStore::SetStartWide(true);
        CoefficientStore::ResetLargest();
        ViewerPicture wide = decodeAsViewer(file);
        const size_t wideLargest = CoefficientStore::LargestBytes();
        CoefficientStore::SetStartWide(false);
        EXPECT_EQ(narrow.decodeResult, 1) << overflow;
        EXPECT_EQ(wide.decodeResult, 1) << overflow;
        EXPECT_EQ(narrow.bitmap, wide.bitmap) << overflow;
        // Widening holds the 16-bit and the 32-bit store at once, one and a half wide stores.
        EXPECT_EQ(2 * narrowLargest, overflow ? 3 * wideLargest : wideLargest) << overflow;
    }
}
