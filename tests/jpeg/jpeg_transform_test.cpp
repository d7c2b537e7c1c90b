// Scale table, quantiser pre-scaling, the integer transform and the clamp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "jpeg_reduced_transform.h"
#include "jpeg_transform.h"

TEST(JpegTransform, ScaleTableIsThePrintedTable) {
    const int32_t expected[64] = {
        512, 710, 668, 602, 511, 402, 277, 141, 710, 985, 927, 835, 710, 557, 384, 195,
        668, 927, 874, 786, 668, 525, 362, 184, 602, 835, 786, 707, 602, 473, 325, 166,
        511, 710, 668, 602, 511, 402, 277, 141, 402, 557, 525, 473, 402, 316, 217, 110,
        277, 384, 362, 325, 277, 217, 149, 76,  141, 195, 184, 166, 141, 110, 76,  38};
    int32_t table[64];
    BuildScaleTable(table);
    for (int k = 0; k < 64; ++k) EXPECT_EQ(table[k], expected[k]) << "index " << k;
}

TEST(JpegTransform, PrescalingTruncatesAndFitsSixteenBitQuantisers) {
    int32_t scale[64];
    BuildScaleTable(scale);
    int32_t q[64];
    for (int32_t& v : q) v = 16;
    PrescaleQuantTable(q, scale);
    EXPECT_EQ(q[0], 2048);
    EXPECT_EQ(q[4], 2044);  // (511 * 16) >> 2
    for (int32_t& v : q) v = 65535;
    PrescaleQuantTable(q, scale);
    EXPECT_EQ(q[9], (985 * 65535) >> 2);
}

TEST(JpegTransform, DcOnlyBlockIsFlat) {
    int32_t scale[64], quant[64], block[64] = {};
    BuildScaleTable(scale);
    for (int32_t& v : quant) v = 8;
    PrescaleQuantTable(quant, scale);
    block[0] = -3;
    InverseDct(block, quant, 131072);
    for (int k = 0; k < 64; ++k) EXPECT_EQ(block[k], -3 * 1024 + 131072) << k;
    int32_t zero[64] = {};
    InverseDct(zero, quant, 0);
    for (int k = 0; k < 64; ++k) EXPECT_EQ(zero[k], 0);
}

// One coefficient (v = 1, u = 0) worked through the kernel by hand with x1 = 1000:
// t6 = 1892000 div 1024 - 1000 = 847, t5 = 1448000 div 1024 - 847 = 567,
// t4 = -784000 div 1024 + 567 = -765 + 567 = -198 (a floor would give -199).
// The row pass sees only x0, so each row is flat at its column value.
TEST(JpegTransform, KernelTruncatesTowardZero) {
    int32_t quant[64], block[64] = {};
    for (int32_t& v : quant) v = 1000;
    block[8] = 1;
    InverseDct(block, quant, 0);
    const int32_t rows[8] = {1000, 847, 567, 198, -198, -567, -847, -1000};
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) EXPECT_EQ(block[8 * r + c], rows[r]) << r << "," << c;
}

TEST(JpegTransform, ClampBoundaries) {
    EXPECT_EQ(ClampSample(-1), 0);
    EXPECT_EQ(ClampSample(0), 0);
    EXPECT_EQ(ClampSample(1023), 0);
    EXPECT_EQ(ClampSample(1024), 1);
    EXPECT_EQ(ClampSample(261119), 254);
    EXPECT_EQ(ClampSample(261120), 255);
    EXPECT_EQ(ClampSample(int64_t(1) << 40), 255);
}

TEST(JpegTransform, ColourDivisionsTruncateTowardZero) {
    EXPECT_EQ(ScaleDiv(-1, 1815), -1);  // a floor would give -2
    EXPECT_EQ(ScaleDiv(1, 1815), 1);
    EXPECT_EQ(ScaleDiv(-1, 352), 0);
    // A blended blue byte: g = 100 with one sample unit of blue difference gives 101,
    // with c = -1 it gives 99 (the byte minus one) while green keeps its value.
    EXPECT_EQ(ClampSample(100 * 1024 + ScaleDiv(1024, 1815)), 101);
    EXPECT_EQ(ClampSample(100 * 1024 + ScaleDiv(-1, 1815)), 99);
    EXPECT_EQ(ClampSample(0 * 1024 + ScaleDiv(-1, 1815)), 0);
    EXPECT_EQ(ClampSample(100 * 1024 - ScaleDiv(-1, 352)), 100);
}

// Area averages taken from the coefficients against the full transform's samples averaged,
// for reductions by 4 and 8 each way, over random blocks with ordinary quantisers, and with values
// 512 times larger for the sums in 64 bits: the two differ only by roundings, well under one
// sample unit (512 units at the larger scale).
TEST(JpegTransform, ReducedTransformMatchesTheAveragedFullTransform) {
    int32_t scale[64], quant[64];
    BuildScaleTable(scale);
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int k = 0; k < 64; ++k) quant[k] = 1 + int32_t(next() >> 28) + k / 4;
    PrescaleQuantTable(quant, scale);
    int32_t worst = 0;
    for (int round = 0; round < 800; ++round) {
        int32_t coef[64] = {};
        const int32_t scale = round % 2 == 0 ? 1 : 512;
        for (int k = 0; k < 64; ++k)
            if (k == 0 || next() % 3 == 0) coef[k] = scale * ((int32_t(next() % 401) - 200) >> ((k / 8 + k % 8) / 3));
        int32_t samples[64];
        for (int k = 0; k < 64; ++k) samples[k] = coef[k];
        InverseDct(samples, quant, 131072);
        for (int sx = 2; sx <= 3; ++sx)
            for (int sy = 2; sy <= 3; ++sy) {
                int32_t reduced[64];
                ReducedTransform(coef, quant, 131072, sx, sy, reduced, 8);
                for (int y = 0; y < (8 >> sy); ++y)
                    for (int x = 0; x < (8 >> sx); ++x) {
                        int64_t sum = 0;
                        for (int j = 0; j < (1 << sy); ++j)
                            for (int i = 0; i < (1 << sx); ++i) sum += samples[8 * ((y << sy) + j) + (x << sx) + i];
                        const int64_t average = sum / (1 << (sx + sy));
                        const int32_t difference = int32_t(std::llabs(average - reduced[8 * y + x]) / scale);
                        worst = std::max(worst, difference);
                    }
            }
    }
    std::printf("  largest difference: %d / 1024 of a sample unit (at the scale of the values)\n", worst);
    EXPECT_LT(worst, 512);
}
