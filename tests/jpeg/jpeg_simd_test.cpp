// The SIMD transform, colour writers and bit selection against the portable arithmetic, on
// ordinary values and on values at and beyond the limits where they must hand the work back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <random>
#include <vector>

#include "jpeg_coefficient_mask.h"
#include "jpeg_colour_simd.h"
#include "jpeg_colour_writer.h"
#include "jpeg_idct_simd.h"
#include "jpeg_select_bit.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

namespace {

using SimdTransform = bool (*)(const int32_t*, int32_t*, const int32_t*, int32_t, bool);

// The SIMD routes this processor can run, by name.
std::vector<std::pair<const char*, SimdTransform>> Transforms() {
    std::vector<std::pair<const char*, SimdTransform>> routes;
#if JPEG_SIMD_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sse2")) routes.push_back({"sse2", InverseDctSse2});
    if (__builtin_cpu_supports("avx2")) routes.push_back({"avx2", InverseDctAvx2});
#endif
    return routes;
}

// A block of quantised coefficients of the given magnitude with a given number of non-zero
// ACs, anywhere or (`corner`) only in the top-left 4 x 4, as in most chroma blocks.
void RandomBlock(std::mt19937& random, int32_t block[64], int32_t dc, int32_t ac, int acCount, bool corner) {
    std::memset(block, 0, 64 * sizeof(int32_t));
    block[0] = static_cast<int32_t>(int64_t(random() % (2 * uint32_t(dc) + 1)) - dc);
    for (int i = 0; i < acCount; ++i) {
        uint32_t at = corner ? 1 + random() % 15 : kZigzag[1 + random() % 63];
        if (corner) at = 8 * (at / 4) + at % 4;
        block[at] = static_cast<int32_t>(int64_t(random() % (2 * uint32_t(ac) + 1)) - ac);
    }
}

}  // namespace

// Ordinary pictures, blocks at the limits of the 32-bit lanes, and absurd values that must be
// left to InverseDct: whatever route is taken, the samples are InverseDct's.
TEST(JpegSimd, TransformsEqualInverseDctOrDecline) {
    int32_t scale[64];
    BuildScaleTable(scale);
    std::mt19937 random(3);
    struct Range {
        int32_t dc, ac, quant;
    };
    // The last range is past anything a file can mean (progressive scans can still make such
    // values): the portable transform must stay defined there, wrapping as documented.
    const Range ranges[] = {{60, 30, 16},          {1000, 40, 1},        {8, 120, 4},
                           {1300, 1300, 255},     {32767, 32767, 255}, {2000000000, 32767, 65535},
                           {2000000000, 2000000000, 65535}};
    int accepted = 0, declined = 0;
    for (const Range& range : ranges) {
        int32_t quant[64];
        for (int32_t& q : quant) q = 1 + static_cast<int32_t>(random() % uint32_t(range.quant));
        PrescaleQuantTable(quant, scale);
        for (int trial = 0; trial < 300; ++trial) {
            int32_t coef[64], expected[64], out[64];
            RandomBlock(random, coef, range.dc, range.ac, 1 + trial % 40, trial % 3 == 0);
            std::memcpy(expected, coef, sizeof coef);
            int32_t shift = trial % 2 ? 131072 : 0;
            InverseDct(expected, quant, shift);
            TransformBlock(coef, out, quant, shift);
            ASSERT_EQ(0, std::memcmp(out, expected, sizeof out)) << "dispatched, trial " << trial;
            // Inputs the caller may vouch for: every coefficient and quantiser within its limit.
            bool small = std::all_of(coef, coef + 64, [](int32_t c) { return c >= -32767 && c <= 32767; }) &&
                         WithinQuantiserLimit(quant);
            for (auto& route : Transforms()) {
                for (bool vouched : {false, true}) {
                    if (vouched && !small) continue;
                    if (!route.second(coef, out, quant, shift, vouched)) {
                        ++declined;
                        continue;
                    }
                    ++accepted;
                    ASSERT_EQ(0, std::memcmp(out, expected, sizeof out)) << route.first << ", trial " << trial;
                }
            }
        }
    }
    if (!Transforms().empty()) {
        EXPECT_GT(accepted, 600);
        EXPECT_GT(declined, 100);
    }
}

TEST(JpegSimd, DcOnlyShortcutWrapsLikeTheTransform) {
    const int32_t dcs[] = {0, 1, -1, 1023, -1024, 70000, -2147483647 - 1, 2147483647};
    const int32_t quants[] = {2048, 1, 16777215, -5};
    for (int32_t dc : dcs) {
        for (int32_t q : quants) {
            int32_t quant[64] = {}, expected[64] = {}, out[64];
            quant[0] = q;
            expected[0] = dc;
            InverseDct(expected, quant, 131072);
            bool bounded = TransformDcOnly(dc, out, q, 131072);
            EXPECT_EQ(0, std::memcmp(out, expected, sizeof out)) << dc << " x " << q;
            EXPECT_EQ(bounded, expected[0] >= -(1 << 29) && expected[0] <= (1 << 29));
        }
    }
}

namespace {

// The colour formulas in 64 bits: the sequential passes (two green divisions, partial green
// stored) or the progressive writer (one division of the green sum).
void ReferenceMcu(const int32_t luma[4][64], int32_t green[4][64], const int32_t* cb, const int32_t* cr,
                  std::vector<uint8_t>& picture, int pitch, int h, int v, bool sequential) {
    for (int y = 0; y < 8 * v; ++y) {
        for (int x = 0; x < 8 * h; ++x) {
            int b = (y / 8) * h + x / 8, at = 8 * (y % 8) + x % 8, c = 8 * (y / v) + x / h;
            int64_t Y = luma[b][at];
            uint8_t* p = picture.data() + size_t(y) * pitch + 3 * x;
            p[0] = ClampSample(Y + ScaleDiv(cb[c], 1815));
            p[2] = ClampSample(Y + ScaleDiv(cr[c], 1436));
            if (sequential) {
                green[b][at] = Wrap32(Y - ScaleDiv(cb[c], 352));
                p[1] = ClampSample(int64_t(green[b][at]) - ScaleDiv(cr[c], 731));
            } else {
                p[1] = ClampSample(Y - (int64_t(cr[c]) * 731 + int64_t(cb[c]) * 352) / 1024);
            }
        }
    }
}

}  // namespace

// Every layout and both green rules; values near the clamp, at the writers' limits and past
// them. A writer that declines writes nothing.
TEST(JpegSimd, ColourWritersEqualTheFormulasOrDecline) {
    std::mt19937 random(5);
    using Writer = bool (*)(const ColourMcu&);
    std::vector<std::pair<const char*, Writer>> writers = {{"dispatched", WriteColourMcuSimd}};
#if JPEG_SIMD_X86
    if (__builtin_cpu_supports("sse2")) writers.push_back({"sse2", WriteColourMcuSse2});
    if (__builtin_cpu_supports("avx2")) writers.push_back({"avx2", WriteColourMcuAvx2});
#endif
    const int layouts[3][2] = {{1, 1}, {2, 1}, {2, 2}};
    const int32_t lumaSpans[] = {140000, 1 << 29, 1 << 30};
    const int32_t chromaSpans[] = {140000, 1 << 20, 1 << 21};
    for (int trial = 0; trial < 180; ++trial) {
        int h = layouts[trial % 3][0], v = layouts[trial % 3][1];
        bool sequential = (trial / 3) % 2 == 0;
        int32_t lumaSpan = lumaSpans[(trial / 6) % 3], chromaSpan = chromaSpans[(trial / 18) % 3];
        int32_t luma[4][64], cb[64], cr[64], expectedGreen[4][64] = {};
        for (auto& block : luma)
            for (int32_t& value : block)
                value = int32_t(131072 + int64_t(random() % (2 * uint32_t(lumaSpan) + 1)) - lumaSpan);
        for (int i = 0; i < 64; ++i) {
            cb[i] = int32_t(int64_t(random() % (2 * uint32_t(chromaSpan) + 1)) - chromaSpan);
            cr[i] = int32_t(int64_t(random() % (2 * uint32_t(chromaSpan) + 1)) - chromaSpan);
        }
        bool inRange = true;
        for (int b = 0; b < h * v; ++b)
            for (int32_t value : luma[b]) inRange = inRange && value <= (1 << 29) && value >= -(1 << 29);
        for (int i = 0; i < 64; ++i)
            inRange = inRange && cb[i] <= (1 << 20) && cb[i] >= -(1 << 20) && cr[i] <= (1 << 20) && cr[i] >= -(1 << 20);
        int pitch = 3 * 8 * h + 6;  // room on the right to catch stray writes
        std::vector<uint8_t> expected(size_t(pitch) * 8 * v, 0x5A);
        ReferenceMcu(luma, expectedGreen, cb, cr, expected, pitch, h, v, sequential);
        for (auto& writer : writers) {
            std::vector<uint8_t> picture(expected.size(), 0x5A);
            int32_t green[4][64] = {};
            // Rows go down by subtracting the pitch: a negative pitch gives top-down rows.
            ColourMcu mcu{{luma[0], luma[1], luma[2], luma[3]},
                          {green[0], green[1], green[2], green[3]},
                          cb, cr, picture.data(), -pitch, h, v, sequential};
            if (!sequential) std::fill(std::begin(mcu.green), std::end(mcu.green), nullptr);
            bool wrote = writer.second(mcu);
            EXPECT_EQ(wrote, inRange) << writer.first << " trial " << trial;
            if (!wrote) {
                EXPECT_TRUE(std::all_of(picture.begin(), picture.end(), [](uint8_t b) { return b == 0x5A; }));
                continue;
            }
            ASSERT_EQ(picture, expected) << writer.first << " trial " << trial;
            if (!sequential) continue;
            for (int b = 0; b < h * v; ++b)
                for (int i = 0; i < 64; ++i) ASSERT_EQ(green[b][i], expectedGreen[b][i]) << writer.first;
        }
    }
}

TEST(JpegSimd, PortableSweepEqualsTheFormulas) {
    std::mt19937 random(9);
    for (int trial = 0; trial < 30; ++trial) {
        int h = trial % 3 == 0 ? 1 : 2, v = trial % 3 == 2 ? 2 : 1;
        int32_t luma[4][64], cb[64], cr[64], expectedGreen[4][64] = {};
        for (auto& block : luma)
            for (int32_t& value : block) value = int32_t(random() % 400000) - 60000;
        for (int i = 0; i < 64; ++i) {
            cb[i] = int32_t(random() % 300000) - 150000;
            cr[i] = int32_t(random() % 300000) - 150000;
        }
        int pitch = 3 * 8 * h;
        std::vector<uint8_t> expected(size_t(pitch) * 8 * v), picture(expected.size());
        ReferenceMcu(luma, expectedGreen, cb, cr, expected, pitch, h, v, true);
        int32_t area[8][64];
        std::memcpy(area, luma, sizeof luma);
        ASSERT_TRUE(WriteColourMcu(area, area + 4, cb, cr, picture.data(), -pitch, h, v));
        EXPECT_EQ(picture, expected);
        for (int b = 0; b < h * v; ++b)
            for (int i = 0; i < 64; ++i) ASSERT_EQ(area[4 + b][i], expectedGreen[b][i]);
    }
}

// Grey blocks: the SIMD writer against the portable one, samples far beyond both ends included.
TEST(JpegSimd, GreyWriterEqualsThePortableOne) {
    std::mt19937 random(12);
    for (int trial = 0; trial < 20; ++trial) {
        int32_t luma[64];
        for (int32_t& value : luma) value = trial % 4 == 0 ? int32_t(random()) : int32_t(random() % 400000) - 60000;
        const int pitch = 3 * 8 + 5;  // bytes past each row stay untouched
        std::vector<uint8_t> expected(size_t(pitch) * 8, 0xA5), picture(expected);
        WriteGreyBlock(luma, expected.data(), -pitch);
        if (!WriteGreyBlockSimd(luma, picture.data(), -pitch)) GTEST_SKIP() << "no SIMD grey writer here";
        EXPECT_EQ(picture, expected);
    }
}

// 16-bit blocks widened with SSE2 against the plain copy, with and without AC values.
TEST(JpegSimd, WidenedBlocksEqualTheCopy) {
    std::mt19937 random(5);
    for (int trial = 0; trial < 40; ++trial) {
        int16_t block[64] = {};
        block[0] = int16_t(random());
        const int filled = trial % 4 == 0 ? 0 : int(random() % 64);
        for (int n = 0; n < filled; ++n) block[1 + random() % 63] = int16_t(random());
        int32_t out[64];
        const bool any = WidenBlock(block, out);
        bool expectedAny = false;
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(out[i], block[i]) << i;
            if (i != 0 && block[i] != 0) expectedAny = true;
        }
        EXPECT_EQ(any, expectedAny);
    }
}

TEST(JpegSimd, NonZeroMaskFollowsZigzagOrder) {
    std::mt19937 random(13);
    for (int trial = 0; trial < 200; ++trial) {
        int32_t block[64];
        for (int32_t& value : block) value = random() % 3 == 0 ? int32_t(random() % 2000001) - 1000000 : 0;
        uint64_t expected = 0;
        for (int k = 0; k < 64; ++k)
            if (block[kZigzag[k]] != 0) expected |= uint64_t(1) << k;
        EXPECT_EQ(NonZeroInZigzagOrder(block), expected);
    }
}

TEST(JpegSimd, SelectedBitIsTheNextAfterSkippingN) {
    std::mt19937_64 random(21);
    for (int trial = 0; trial < 2000; ++trial) {
        uint64_t mask = random() & random();
        if (trial % 7 == 0) mask >>= random() % 64;
        unsigned n = static_cast<unsigned>(random() % 80);
        unsigned expected = 64;
        unsigned seen = 0;
        for (unsigned bit = 0; bit < 64; ++bit) {
            if (!((mask >> bit) & 1)) continue;
            if (seen++ == n) {
                expected = bit;
                break;
            }
        }
        EXPECT_EQ(RankedHalves(mask).Select(n), expected) << mask << " " << n;
        EXPECT_EQ(RankedWord<uint64_t>(mask).Select(n), expected) << mask << " " << n;
        if (expected < 64) {
            EXPECT_EQ(LowestSetBit(uint64_t(1) << expected), int(expected));
        }
    }
}
