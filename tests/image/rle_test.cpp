// Run-length expansion (RLE8 and RLE4): runs, padding, nibbles, end of line, delta, and the bounds.
#include <gtest/gtest.h>

#include <vector>

#include "image/rle.h"

namespace {

// Output buffer of `capacity` bytes followed by guard bytes that must never change.
struct Output {
    explicit Output(size_t capacity) : capacity(capacity), bytes(capacity + 16, 0) {
        for (size_t i = capacity; i < bytes.size(); ++i) bytes[i] = 0xA5;
    }
    int expand(uint32_t kind, const std::vector<uint8_t>& data, size_t pitch) {
        return expandRle(kind, data.data(), data.size(), bytes.data(), capacity, pitch);
    }
    bool guardsIntact() const {
        for (size_t i = capacity; i < bytes.size(); ++i)
            if (bytes[i] != 0xA5) return false;
        return true;
    }
    std::vector<uint8_t> picture() const { return {bytes.begin(), bytes.begin() + capacity}; }
    size_t capacity;
    std::vector<uint8_t> bytes;
};

using Bytes = std::vector<uint8_t>;

}  // namespace

TEST(Rle8, EncodedAndAbsoluteRunsWithPaddingAndEndOfLine) {
    Output out(2 * 8);
    // Row 0: 3 x 7, absolute 3 (1, 2, 3 + padding byte), end of line.
    // Row 1: absolute 4 (no padding), 2 x 9, end of bitmap; a run after it is ignored.
    const Bytes data = {3, 7, 0, 3, 1, 2, 3, 0xEE, 0, 0, 0, 4, 4, 5, 6, 7, 2, 9, 0, 1, 5, 5};
    EXPECT_EQ(out.expand(kRle8, data, 8), 1);
    EXPECT_EQ(out.picture(), (Bytes{7, 7, 7, 1, 2, 3, 0, 0, 4, 5, 6, 7, 9, 9, 0, 0}));
}

TEST(Rle8, RunsRunOnIntoTheNextRowAndEndOfLineCountsRows) {
    // Width 10 in rows of 12: a run of 15 fills row 0 and the first 3 bytes of row 1. Rows are
    // counted by end-of-line commands, not by where the output stands: end of line goes to row 1.
    Output out(3 * 12);
    EXPECT_EQ(out.expand(kRle8, {15, 1, 0, 0, 2, 2, 0, 1}, 12), 1);
    Bytes want(36, 0);
    for (int i = 0; i < 15; ++i) want[i] = 1;
    want[12] = want[13] = 2;
    EXPECT_EQ(out.picture(), want);
}

TEST(Rle8, DeltaMovesRightAndUpThePicture) {
    Output out(3 * 4);
    // One pixel, delta (2 right, 1 up), one pixel, end of line (to row 2), one pixel.
    EXPECT_EQ(out.expand(kRle8, {1, 1, 0, 2, 2, 1, 1, 2, 0, 0, 1, 3, 0, 1}, 4), 1);
    EXPECT_EQ(out.picture(), (Bytes{1, 0, 0, 0, 0, 0, 0, 2, 3, 0, 0, 0}));
}

TEST(Rle8, NothingIsWrittenAtOrBeyondTheCapacity) {
    {
        Output out(2 * 4);  // four rows of data for a two-row picture
        EXPECT_EQ(out.expand(kRle8, {4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 0, 4, 4, 0, 1}, 4), 1);
        EXPECT_EQ(out.picture(), (Bytes{1, 1, 1, 1, 2, 2, 2, 2}));
        EXPECT_TRUE(out.guardsIntact());
    }
    {
        Output out(8 * 4);  // delta far outside an 8 x 4 picture, then more pixels
        EXPECT_EQ(out.expand(kRle8, {1, 1, 0, 2, 200, 200, 255, 9, 0, 0, 255, 9}, 8), 1);
        EXPECT_TRUE(out.guardsIntact());
        EXPECT_EQ(out.picture()[0], 1);
        for (size_t i = 1; i < 32; ++i) EXPECT_EQ(out.picture()[i], 0) << i;
    }
    {
        Output out(5);  // an absolute run longer than the capacity
        Bytes data = {0, 200};
        for (int i = 0; i < 200; ++i) data.push_back(uint8_t(i + 1));
        EXPECT_EQ(out.expand(kRle8, data, 8), 1);
        EXPECT_EQ(out.picture(), (Bytes{1, 2, 3, 4, 5}));
        EXPECT_TRUE(out.guardsIntact());
    }
}

TEST(Rle8, DataEndingEarlyKeepsWhatWasWritten) {
    // Without end of bitmap; in the middle of a command; in the middle of an absolute run; in a delta.
    const Bytes cases[] = {{2, 5, 0, 0, 1, 6}, {2, 5, 0, 0, 1, 6, 3}, {2, 5, 0, 0, 1, 6, 0, 5, 7, 7}, {2, 5, 0, 2, 1}};
    const Bytes want[] = {{5, 5, 0, 0, 6, 0, 0, 0}, {5, 5, 0, 0, 6, 0, 0, 0}, {5, 5, 0, 0, 6, 7, 7, 0},
                          {5, 5, 0, 0, 0, 0, 0, 0}};
    for (int i = 0; i < 4; ++i) {
        Output out(8);
        EXPECT_EQ(out.expand(kRle8, cases[i], 4), 1) << i;
        EXPECT_EQ(out.picture(), want[i]) << i;
        EXPECT_TRUE(out.guardsIntact());
    }
    Output empty(4);
    EXPECT_EQ(empty.expand(kRle8, {}, 4), 1);
}

TEST(Rle, OtherKindsWriteNothing) {
    for (uint32_t kind : {0u, 3u, 4u, 6u}) {
        Output out(4);
        EXPECT_EQ(out.expand(kind, {4, 9, 0, 1}, 4), 0);
        EXPECT_EQ(out.picture(), (Bytes{0, 0, 0, 0}));
    }
}

TEST(Rle4, OddRunsContinueInTheLowNibble) {
    Output out(4);
    // 3 pixels alternating 1, 2 from 0x12; then 1 pixel 3 (high nibble of 0x34) lands in a low nibble.
    EXPECT_EQ(out.expand(kRle4, {3, 0x12, 1, 0x34, 0, 1}, 4), 1);
    EXPECT_EQ(out.picture(), (Bytes{0x12, 0x13, 0, 0}));
}

TEST(Rle4, WidthSixEndOfLineStartsTheNextRowInAHighNibble) {
    Output out(2 * 4);  // 6 pixels = 3 bytes, rows of 4
    EXPECT_EQ(out.expand(kRle4, {5, 0xAB, 1, 0xC0, 0, 0, 1, 0xD0, 0, 1}, 4), 1);
    EXPECT_EQ(out.picture(), (Bytes{0xAB, 0xAB, 0xAC, 0, 0xD0, 0, 0, 0}));
}

TEST(Rle4, AbsoluteRunsArePaddedToWholeWords) {
    // b = 5: 3 bytes + 1 padding; b = 4: 2 bytes, no padding; b = 6: 3 bytes + 1 padding.
    Output out(3 * 4);
    const Bytes data = {0, 5, 0x12, 0x34, 0x50, 0xEE, 0, 0,  // row 0
                        0, 4, 0x67, 0x89, 0, 0,              // row 1
                        0, 6, 0xAB, 0xCD, 0xEF, 0xEE, 1, 0x10, 0, 1};
    EXPECT_EQ(out.expand(kRle4, data, 4), 1);
    EXPECT_EQ(out.picture(), (Bytes{0x12, 0x34, 0x50, 0, 0x67, 0x89, 0, 0, 0xAB, 0xCD, 0xEF, 0x10}));
}

TEST(Rle4, AnOddAbsoluteRunAndEndOfLine) {
    // A 5-pixel absolute run, end of line, a 6-pixel run, as a hand-made file has it.
    Output out(2 * 4);
    EXPECT_EQ(out.expand(kRle4, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 6, 0x77, 0, 1}, 4), 1);
    EXPECT_EQ(out.picture(), (Bytes{0x12, 0x34, 0x50, 0, 0x77, 0x77, 0x77, 0}));
}

TEST(Rle4, DeltaCountsPixelsAndCapacityCountsBytes) {
    Output out(2 * 4);
    // One pixel, delta 3 right: the next pixel is pixel 4 (byte 2, high nibble). A delta one row up
    // keeps the column (pixel 5: byte 6, low nibble); a long run then stops at the capacity.
    EXPECT_EQ(out.expand(kRle4, {1, 0x10, 0, 2, 3, 0, 1, 0x20, 0, 2, 0, 1, 255, 0x33}, 4), 1);
    EXPECT_EQ(out.picture(), (Bytes{0x10, 0, 0x20, 0, 0, 0, 0x03, 0x33}));
    EXPECT_TRUE(out.guardsIntact());
}
