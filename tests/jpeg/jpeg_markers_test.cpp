// Marker scanning, segment readers, frame and scan headers, and the refusals.
#include <gtest/gtest.h>

#include "jpeg_decoder.h"
#include "jpeg_scan_lookahead.h"
#include "jpeg_stream_builder.h"
#include "viewer_decode.h"

namespace {

std::vector<uint8_t> withSampling(uint16_t w, uint16_t h, uint8_t lumaH, uint8_t lumaV) {
    return JpegStreamBuilder()
        .soi()
        .frame(0xC0, w, h, {{1, lumaH, lumaV, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}})
        .eoi()
        .bytes;
}

struct ProbeResult {
    int result;
    uint32_t width, height;
    std::vector<std::string> messages;
};

ProbeResult probe(const std::vector<uint8_t>& data) {
    RecordingJpegMessages m;
    JpegDecoder d(m);
    JpegSize size;
    int r = d.Probe(data.data(), static_cast<uint32_t>(data.size()), size) ? 1 : 0;
    if (r == 0) size = d.frameSize();
    return {r, size.width, size.height, m.messages};
}

// A grey 8x8 picture of one DC-only block, with `before` inserted ahead of the frame header.
std::vector<uint8_t> greyWith(const std::vector<uint8_t>& before, uint8_t frameType = 0xC0) {
    JpegStreamBuilder b;
    b.soi().raw(before).dqtFlat(0, 8).frame(frameType, 8, 8, {{1, 1, 1, 0}}).testTables().scan({{1, 0, 0}});
    BitWriter w;
    putSequentialBlock(w, 10, {});
    return b.entropy(w).eoi().bytes;
}

}  // namespace

TEST(JpegProbe, RoundsToWholeMcus) {
    ProbeResult a = probe(withSampling(100, 75, 2, 2));
    EXPECT_EQ(a.result, 1);
    EXPECT_EQ(a.width, 112u);
    EXPECT_EQ(a.height, 80u);
    ProbeResult b = probe(withSampling(100, 75, 1, 1));
    EXPECT_EQ(b.width, 104u);
    EXPECT_EQ(b.height, 80u);
    ProbeResult c = probe(withSampling(17, 9, 2, 1));
    EXPECT_EQ(c.width, 32u);
    EXPECT_EQ(c.height, 16u);
}

TEST(JpegProbe, FrameHeaderRefusalsShowTheMessage) {
    std::vector<std::vector<uint8_t>> bad = {
        JpegStreamBuilder().soi().frame(0xC0, 8, 8, {{1, 1, 1, 0}}, 1).bytes,           // precision 1
        JpegStreamBuilder().soi().frame(0xC0, 0, 8, {{1, 1, 1, 0}}).bytes,              // width 0
        JpegStreamBuilder().soi().segment(0xC0, {8, 0, 8, 0, 8, 3, 1, 0x11, 0}).bytes,  // length for 1 of 3
        withSampling(8, 8, 0, 1),                                                      // sampling 0
        withSampling(8, 8, 5, 1),                                                      // sampling above 4
        JpegStreamBuilder().soi().frame(0xC0, 8, 8, {{1, 1, 1, 5}}).bytes,              // table selector 5
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        ProbeResult r = probe(bad[i]);
        EXPECT_EQ(r.result, 0) << i;
        ASSERT_EQ(r.messages.size(), 1u) << i;
        EXPECT_EQ(r.messages[0], jpeg_text::kCannotShow) << i;
    }
}

TEST(JpegProbe, CutFramesAndHugeFramesAreRefused) {
    std::vector<uint8_t> whole = withSampling(100, 75, 2, 2);
    for (size_t cut = 0; cut < 19; ++cut) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
        EXPECT_EQ(probe(part).result, 0) << cut;
    }
    ProbeResult huge = probe(withSampling(65535, 65535, 2, 2));
    EXPECT_EQ(huge.result, 0);
    EXPECT_EQ(probe(withSampling(16384, 16384, 1, 1)).result, 1);  // 768 MB still addressable
}

TEST(JpegProbe, LeadingBytesAndOtherFrameTypes) {
    std::vector<uint8_t> data = greyWith({});
    data.insert(data.begin(), {0x12, 0x34, 0x56});
    EXPECT_EQ(probe(data).result, 1);
    EXPECT_EQ(probe(greyWith({}, 0xC2)).result, 1);
    EXPECT_EQ(probe(greyWith({}, 0xC1)).result, 1);
    // An EOI before the frame is read as a segment with a length by the probe.
    EXPECT_EQ(probe(greyWith({0xFF, 0xD9, 0xFF, 0xE0, 0x00, 0x10})).result, 0);
}

TEST(JpegDecode, SegmentsThatEndTheDecode) {
    struct Case {
        std::vector<uint8_t> before;
        const char* message;  // nullptr: none
    } cases[] = {
        {{0xFF, 0xE0, 0x00, 0x0E, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1}, nullptr},  // APP0 of 14
        {{0xFF, 0xDD, 0x00, 0x05, 0x00, 0x01, 0x00}, nullptr},                            // DRI of 5
        {{0xFF, 0xDB, 0x00, 0x43, 0x04}, jpeg_text::kCannotShow},                          // DQT table 4
        {{0xFF, 0xDB, 0x00, 0x43, 0x20}, jpeg_text::kCannotShow},                          // DQT precision 2
        {{0xFF, 0xC4, 0x00, 0x13, 0x20}, jpeg_text::kCannotShow},                          // DHT class 2
        {{0xFF, 0xC4, 0x00, 0x14, 0x00, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
         jpeg_text::kCannotShow},  // 3 symbols, room for 1
        {{0xFF, 0xCC, 0x00, 0x06, 0x00, 0x10, 0x01, 0x05}, jpeg_text::kArithmetic},       // DAC
    };
    for (const Case& c : cases) {
        ViewerPicture p = decodeAsViewer(greyWith(c.before));
        ASSERT_TRUE(p.probed);
        EXPECT_EQ(p.decodeResult, 0);
        EXPECT_FALSE(p.anyWritten());
        if (c.message) {
            ASSERT_EQ(p.messages.size(), 1u);
            EXPECT_EQ(p.messages[0], c.message);
        } else {
            EXPECT_TRUE(p.messages.empty());
        }
    }
}

TEST(JpegDecode, SegmentsThatArePassedOver) {
    std::vector<std::vector<uint8_t>> harmless = {
        {},
        {0xFF, 0xD9},                                                   // EOI before the frame (Decode only)
        {0xFF, 0xFE, 0x00, 0x04, 'h', 'i'},                              // COM
        {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0},  // APP0 of 16
        {0xFF, 0xFF, 0xFF, 0xEF, 0x00, 0x02},                            // fill bytes, empty APP15
        {0x00, 0xFF, 0x00, 0x12},                                        // junk and a stuffed pair
    };
    for (size_t i = 0; i < harmless.size(); ++i) {
        std::vector<uint8_t> data = greyWith(harmless[i]);
        RecordingJpegMessages m;
        JpegDecoder d(m);
        std::vector<uint8_t> picture(8 * 8 * 3, 0);
        EXPECT_TRUE(d.Decode(data.data(), static_cast<uint32_t>(data.size()), picture.data() + 7 * 24, 24, {8, 8})) << i;
        EXPECT_EQ(picture[0], 138) << i;  // DC 10 at quantiser 8: sample 138
        EXPECT_TRUE(d.frameRead());
    }
}

TEST(JpegDecode, UnsupportedFrameTypeIsRefusedAtItsFirstScan) {
    ViewerPicture p = decodeAsViewer(greyWith({}, 0xC1));
    EXPECT_TRUE(p.probed);
    EXPECT_EQ(p.decodeResult, 0);
    EXPECT_FALSE(p.anyWritten());
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0], jpeg_text::kUnsupported);
}

TEST(JpegDecode, RefusesAPictureOfAnotherSize) {
    std::vector<uint8_t> data = greyWith({});
    RecordingJpegMessages m;
    JpegDecoder d(m);
    std::vector<uint8_t> picture(16 * 8 * 3, 0);
    EXPECT_FALSE(d.Decode(data.data(), static_cast<uint32_t>(data.size()), picture.data() + 7 * 48, 48, {16, 8}));
    EXPECT_FALSE(d.frameRead());
    for (uint8_t b : picture) EXPECT_EQ(b, 0);
}

TEST(JpegDecode, BadScanHeadersWriteNothing) {
    auto withScan = [](const std::vector<uint8_t>& scanBody, bool tables) {
        JpegStreamBuilder b;
        b.soi().dqtFlat(0, 8).frame(0xC0, 8, 8, {{1, 1, 1, 0}});
        if (tables) b.testTables();
        b.segment(0xDA, scanBody);
        BitWriter w;
        putSequentialBlock(w, 10, {});
        return b.entropy(w).eoi().bytes;
    };
    std::vector<std::vector<uint8_t>> bad = {
        withScan({1, 9, 0x00, 0, 63, 0}, true),  // component 9
        withScan({0, 0, 63, 0}, true),           // no components
        withScan({1, 1, 0x55, 0, 63, 0}, true),  // tables 5
        withScan({1, 1, 0x00, 0, 63, 0}, false), // tables never defined
        withScan({1, 1, 0x00}, true),            // cut short (the data bytes follow)
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        ViewerPicture p = decodeAsViewer(bad[i]);
        EXPECT_EQ(p.decodeResult, 0) << i;
        EXPECT_FALSE(p.anyWritten()) << i;
        EXPECT_TRUE(p.messages.empty()) << i;
    }
}

TEST(JpegDecode, UnsupportedSamplingIsRefusedInsideThePicture) {
    for (auto sampling : {std::pair<int, int>{1, 2}, {4, 1}, {3, 2}, {4, 4}}) {
        JpegStreamBuilder b;
        b.soi().dqtFlat(0, 8).frame(0xC0, 20, 20, {{1, uint8_t(sampling.first), uint8_t(sampling.second), 0},
                                                   {2, 1, 1, 0}, {3, 1, 1, 0}});
        b.testTables().scan({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}).raw({0x00, 0x00}).eoi();
        ViewerPicture p = decodeAsViewer(b.bytes);
        ASSERT_TRUE(p.probed);
        EXPECT_EQ(p.decodeResult, 0);
        EXPECT_FALSE(p.anyWritten());
        ASSERT_EQ(p.messages.size(), 1u);
        EXPECT_EQ(p.messages[0], jpeg_text::kUnsupported);
    }
}

// The lookahead's jump to the next marker code crosses stuffed zeros, fill bytes and restart
// markers as the decoder's search does, and stops short of a data end that holds no code.
TEST(JpegScanLookahead, NextSegmentCodePassesStuffingFillAndRestartMarkers) {
    struct Case {
        std::vector<uint8_t> bytes;
        long at;  // the code's position, or -1: none, the position unmoved
    };
    const Case cases[] = {
        {{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD9}, 5},
        {{0xFF, 0xFF, 0xFF, 0xDA}, 3},
        {{0xFF, 0xD0, 0x55, 0xFF, 0xD7, 0xFF, 0xC4}, 6},
        {{0x12, 0xFF, 0x00, 0xFF, 0xD3}, -1},
        {{0x12, 0x34, 0xFF}, -1},
        {{0xFF, 0xFF}, -1},
        {{}, -1},
    };
    for (const Case& c : cases) {
        JpegInput in;
        in.Reset(c.bytes.data(), c.bytes.size());
        const bool found = NextSegmentCode(in);
        EXPECT_EQ(found, c.at >= 0) << ::testing::PrintToString(c.bytes);
        EXPECT_EQ(in.pos, found ? size_t(c.at) : 0u) << ::testing::PrintToString(c.bytes);
    }
}
