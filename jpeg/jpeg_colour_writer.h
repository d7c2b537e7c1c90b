// Pixel output of one interleaved sequential MCU whose scan lists components 1, 2 and 3 in
// that order: the blue- and red-difference passes in one sweep, each chroma term computed once
// per chroma sample. The results equal the two passes byte for byte, partial greens included.
#pragma once
#include <cstdint>

// Largest luma magnitude (level shift included) and chroma magnitude for which the 32-bit
// arithmetic below equals the passes' 64-bit arithmetic.
constexpr int32_t kWriterLumaLimit = int32_t(1) << 29;
constexpr int32_t kWriterChromaLimit = int32_t(1) << 20;

// luma: blocks 0..3 of the MCU's luminance; green: blocks 4..7, receiving the partial greens.
// H x V (1x1, 2x1 or 2x2) luma blocks; `topLeft` is the MCU's first pixel, rows `pitch` apart
// going down by subtraction. Returns false, writing nothing, when the chroma values are beyond
// kWriterChromaLimit; the caller has checked the luma values.
bool WriteColourMcu(const int32_t (*luma)[64], int32_t (*green)[64], const int32_t* cb, const int32_t* cr,
                    uint8_t* topLeft, int32_t pitch, int h, int v);

// One 8 x 8 grey block: every byte of a pixel is the clamped sample.
void WriteGreyBlock(const int32_t* luma, uint8_t* topLeft, int32_t pitch);

// True when every one of the n values lies within [-limit, limit].
bool WithinLimit(const int32_t* values, int n, int32_t limit);
