// Restart intervals: placement by interval number and recovery after a damaged interval.
#include <gtest/gtest.h>

#include "jpeg_stream_builder.h"
#include "viewer_decode.h"

namespace {

uint8_t greyAt(const ViewerPicture& p, uint32_t mcu) { return p.pixel(8 * mcu + 4, 4)[0]; }

}  // namespace

TEST(JpegRestart, TenMcusInIntervalsOfFour) {
    std::vector<int> dc;
    for (int i = 0; i < 10; ++i) dc.push_back(10 * i - 40);
    ViewerPicture p = decodeAsViewer(greyDcPicture(80, 8, dc, 4));
    EXPECT_EQ(p.decodeResult, 1);
    for (uint32_t m = 0; m < 10; ++m) EXPECT_EQ(greyAt(p, m), 88 + 10 * m) << m;
}

TEST(JpegRestart, IntervalsLongerThanARowDecodeLikeTheirTwin) {
    // 5 x 3 MCUs with intervals of 7 and of 5 (exactly one row), against no restart markers.
    std::vector<int> dc;
    for (int i = 0; i < 15; ++i) dc.push_back(7 * i - 50);
    ViewerPicture twin = decodeAsViewer(greyDcPicture(40, 24, dc));
    for (uint16_t interval : {7, 5, 2, 15, 100}) {
        ViewerPicture p = decodeAsViewer(greyDcPicture(40, 24, dc, interval));
        EXPECT_EQ(p.decodeResult, 1) << interval;
        EXPECT_EQ(p.bitmap, twin.bitmap) << interval;
    }
}

// One MCU per interval; the interval after RST2 is damaged (a code no table holds) and the
// next marker in the data is RST5: intervals 3 to 5 stay unwritten, 6 and 7 land in place.
TEST(JpegRestart, RecoveryFromRst2ToRst5) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC0, 64, 8, {{1, 1, 1, 0}}).testTables().dri(1).scan({{1, 0, 0}});
    auto interval = [&](int dc) {
        BitWriter w;
        putSequentialBlock(w, dc, {});
        b.entropy(w);
    };
    for (int i = 0; i < 3; ++i) {
        interval(10 * i);
        b.marker(static_cast<uint8_t>(0xD0 + i));
    }
    b.raw({0xFF, 0x00, 0xFF, 0x00}).marker(0xD5);  // damaged interval 3, RST3 and RST4 lost
    interval(60);
    b.marker(0xD6);
    interval(70);
    b.eoi();
    ViewerPicture p = decodeAsViewer(b.bytes);
    EXPECT_EQ(p.decodeResult, 1);
    for (uint32_t m : {0u, 1u, 2u, 6u, 7u}) EXPECT_EQ(greyAt(p, m), 128 + 10 * m) << m;
    for (uint32_t m : {3u, 4u, 5u}) EXPECT_EQ(greyAt(p, m), 0) << m;
}

TEST(JpegRestart, WrongMarkerNumbersAreIgnoredWhenIntervalsDecode) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC0, 24, 8, {{1, 1, 1, 0}}).testTables().dri(1).scan({{1, 0, 0}});
    for (int i = 0; i < 3; ++i) {
        BitWriter w;
        putSequentialBlock(w, 10 * i, {});
        b.entropy(w);
        if (i < 2) b.marker(0xD6);
    }
    ViewerPicture p = decodeAsViewer(b.eoi().bytes);
    EXPECT_EQ(p.decodeResult, 1);
    for (uint32_t m = 0; m < 3; ++m) EXPECT_EQ(greyAt(p, m), 128 + 10 * m);
}

TEST(JpegRestart, DataEndingInsideAnIntervalKeepsTheEarlierOnes) {
    std::vector<uint8_t> data = greyDcPicture(64, 8, {0, 10, 20, 30, 40, 50, 60, 70}, 2);
    data.resize(data.size() - 12);
    ViewerPicture p = decodeAsViewer(data);
    EXPECT_EQ(p.decodeResult, 0);
    EXPECT_EQ(greyAt(p, 0), 128);
    EXPECT_EQ(greyAt(p, 3), 158);
}
