// The helper thread: large pictures are transformed and written on two threads, and the
// bitmap must be the same byte for byte as on one, also for damaged data.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "jpeg_helper_thread.h"
#include "jpeg_stream_builder.h"
#include "viewer_decode.h"

namespace {

// Turns the helper off for one scope.
struct SingleThread {
    SingleThread() { HelperThread::SetEnabled(false); }
    ~SingleThread() { HelperThread::SetEnabled(true); }
};

ViewerPicture decodeAlone(const std::vector<uint8_t>& file) {
    SingleThread off;
    return decodeAsViewer(file);
}

// 2048 x 1024 grey, 32768 DC-only MCUs (enough for the helper) in a pattern that differs
// between neighbours.
constexpr uint16_t kWidth = 2048, kHeight = 1024;
constexpr uint32_t kAcross = kWidth / 8, kMcus = kAcross * (kHeight / 8);

std::vector<int> pattern() {
    std::vector<int> dc;
    for (uint32_t i = 0; i < kMcus; ++i) dc.push_back(int(i * 37 % 200) - 100);
    return dc;
}

uint8_t greyAt(const ViewerPicture& p, uint32_t mcu) {
    return p.pixel(8 * (mcu % kAcross) + 4, 8 * (mcu / kAcross) + 4)[0];
}

}  // namespace

TEST(JpegHelper, LargeSequentialPicturesMatchTheSingleThreadBitmap) {
    std::vector<int> dc = pattern();
    for (uint16_t interval : {0, 1, 7, 200}) {
        std::vector<uint8_t> file = greyDcPicture(kWidth, kHeight, dc, interval);
        ViewerPicture both = decodeAsViewer(file), one = decodeAlone(file);
        EXPECT_EQ(both.decodeResult, 1) << interval;
        EXPECT_EQ(both.bitmap, one.bitmap) << interval;
        for (uint32_t m : {0u, 1u, kAcross - 1, 4000u, kMcus - 1}) EXPECT_EQ(greyAt(both, m), 128 + dc[m]) << m;
    }
}

TEST(JpegHelper, DamagedLargePicturesKeepWhatDecodedAndNothingElse) {
    std::vector<int> dc = pattern();
    std::vector<uint8_t> file = greyDcPicture(kWidth, kHeight, dc, 7);
    // Cut the data half-way: every MCU after the cut stays unwritten.
    std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(file.size() / 2));
    ViewerPicture both = decodeAsViewer(cut), one = decodeAlone(cut);
    EXPECT_EQ(both.bitmap, one.bitmap);
    EXPECT_EQ(greyAt(both, 0), 128 + dc[0]);
    EXPECT_EQ(greyAt(both, kMcus - 1), 0);
    // Remove one restart marker: what follows is placed as the marker numbers say.
    size_t marker = 0;
    int seen = 0;
    for (size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] >= 0xD0 && file[i + 1] <= 0xD7 && ++seen == 300) {
            marker = i;
            break;
        }
    ASSERT_NE(marker, 0u);
    std::vector<uint8_t> lost = file;
    lost.erase(lost.begin() + static_cast<std::ptrdiff_t>(marker), lost.begin() + static_cast<std::ptrdiff_t>(marker) + 2);
    both = decodeAsViewer(lost);
    one = decodeAlone(lost);
    EXPECT_EQ(both.bitmap, one.bitmap);
    EXPECT_EQ(greyAt(both, 2099), 128 + dc[2099]);  // the last MCU before the damage
}

// Restart intervals are shared between the threads while their markers come in sequence.
// One irregularity in the last interval of a chunk (intervals 218 and 437 end the first two
// chunks; 73 and 147 in the eager mode, where the threads take turns), near the end or in the
// last interval: from there the decode goes on one interval after another, and the bitmap is
// the one-thread bitmap, with the intervals that one leaves black still black.
TEST(JpegHelper, RestartIntervalsSharedUntilTheFirstIrregularity) {
    std::vector<int> dc = pattern();
    const std::vector<uint8_t> file = greyDcPicture(kWidth, kHeight, dc, 7);
    std::vector<size_t> markers;  // markers[k]: the 0xFF of the marker that ends interval k
    for (size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] >= 0xD0 && file[i + 1] <= 0xD7) markers.push_back(i);
    ASSERT_GT(markers.size(), 1000u);
    // The end-of-image marker ends the last interval.
    ASSERT_TRUE(file[file.size() - 2] == 0xFF && file[file.size() - 1] == 0xD9);
    markers.push_back(file.size() - 2);
    using Offset = std::ptrdiff_t;
    const struct {
        const char* name;
        void (*damage)(std::vector<uint8_t>&, size_t marker, size_t previous);
    } kinds[] = {
        {"marker number out of sequence", [](std::vector<uint8_t>& f, size_t m, size_t) { f[m + 1] = 0xD0 + (f[m + 1] + 3) % 8; }},
        {"marker lost", [](std::vector<uint8_t>& f, size_t m, size_t) { f.erase(f.begin() + Offset(m), f.begin() + Offset(m) + 2); }},
        {"marker twice", [](std::vector<uint8_t>& f, size_t m, size_t) { f.insert(f.begin() + Offset(m), f[m]), f.insert(f.begin() + Offset(m) + 1, f[m + 2]); }},
        {"interval ends early", [](std::vector<uint8_t>& f, size_t m, size_t p) { f.erase(f.begin() + Offset(p) + 2, f.begin() + Offset(m) - 1); }},
        {"interval fails", [](std::vector<uint8_t>& f, size_t, size_t p) { f.insert(f.begin() + Offset(p) + 2, {0xFF, 0x00, 0xFF, 0x00}); }},
        {"garbage before the marker", [](std::vector<uint8_t>& f, size_t m, size_t) { f.insert(f.begin() + Offset(m), {0x12, 0x34}); }},
    };
    for (const auto& kind : kinds) {
        for (size_t k : {size_t(73), size_t(147), size_t(218), size_t(437), markers.size() - 3, markers.size() - 1}) {
            std::vector<uint8_t> damaged = file;
            kind.damage(damaged, markers[k], markers[k - 1]);
            ViewerPicture both = decodeAsViewer(damaged), one = decodeAlone(damaged);
            EXPECT_EQ(both.decodeResult, one.decodeResult) << kind.name << " at " << k;
            EXPECT_TRUE(both.bitmap == one.bitmap) << kind.name << " at " << k;
        }
    }
}

TEST(JpegHelper, PicturesDecodedOnTwoThreadsAtOnceShareTheHelper) {
    std::vector<int> dc = pattern();
    std::vector<uint8_t> plain = greyDcPicture(kWidth, kHeight, dc), restarts = greyDcPicture(kWidth, kHeight, dc, 13);
    ViewerPicture expected = decodeAlone(plain);
    std::atomic<int> mismatches{0};
    auto decodeMany = [&](const std::vector<uint8_t>& file) {
        for (int i = 0; i < 20; ++i)
            if (decodeAsViewer(file).bitmap != expected.bitmap) ++mismatches;
    };
    std::thread first(decodeMany, std::cref(plain)), second(decodeMany, std::cref(restarts));
    first.join();
    second.join();
    EXPECT_EQ(mismatches.load(), 0);
}

// A grey progressive picture's last scan (the last bit of every AC coefficient) goes to the
// helper while the scans before it are read. Intact, with a scan between that stops the
// decode (the helper's work is then thrown away and the picture decoded again on one thread),
// and with a last scan that fails half-way, the decode is the one-thread decode: bitmap,
// result and texts.
TEST(JpegHelper, ProgressiveLastScanOnTheHelperMatchesTheSingleThreadDecode) {
    constexpr uint16_t kBlocks = 64;
    auto picture = [](bool stopBetween, bool failLast) {
        JpegStreamBuilder b;
        b.soi().dqtFlat(0, 8).frame(0xC2, 8 * kBlocks, 8, {{1, 1, 1, 0}}).testTables();
        b.scan({{1, 0, 0}}, 0, 0, 0, 0);
        BitWriter dc;
        for (int i = 0; i < kBlocks; ++i) putDc(dc, i % 5 - 2);
        b.entropy(dc);
        // The feeding scan: coefficient 1 of block i is 2 * (i % 3 + 1), then end of band.
        b.scan({{1, 0, 0}}, 1, 63, 0, 1);
        BitWriter first;
        for (int i = 0; i < kBlocks; ++i) {
            const int value = i % 3 + 1, size = magnitudeSize(value);
            putAcSymbol(first, 0, size);
            first.put(magnitudeBits(value, size), size);
            putAcSymbol(first, 0, 0);
        }
        b.entropy(first);
        // A scan header naming a component the frame lacks stops the decode here.
        if (stopBetween) b.scan({{9, 0, 0}}, 0, 0, 1, 0);
        b.testTables();
        b.scan({{1, 0, 0}}, 1, 63, 1, 0);
        BitWriter last;
        for (int i = 0; i < kBlocks; ++i) {
            if (failLast && i == kBlocks / 2) last.put(0xFF, 8);  // a code outside the table
            putAcSymbol(last, 0, 0);
            last.put(i % 2, 1);  // the correction bit of coefficient 1
        }
        return b.entropy(last).eoi().bytes;
    };
    HelperThread::SetEager(true);
    for (bool stopBetween : {false, true})
        for (bool failLast : {false, true}) {
            const std::vector<uint8_t> file = picture(stopBetween, failLast);
            ViewerPicture both = decodeAsViewer(file), one = decodeAlone(file);
            EXPECT_EQ(both.decodeResult, one.decodeResult) << stopBetween << failLast;
            EXPECT_EQ(both.bitmap, one.bitmap) << stopBetween << failLast;
            EXPECT_EQ(both.messages, one.messages) << stopBetween << failLast;
            EXPECT_EQ(both.captions, one.captions) << stopBetween << failLast;
        }
    HelperThread::SetEager(false);
    EXPECT_EQ(decodeAlone(picture(false, false)).decodeResult, 1);
}
