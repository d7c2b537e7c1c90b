// Scale table, pre-scaled quantisers, the integer AAN inverse DCT, the sample clamp and the
// colour offsets. Integer arithmetic at 1024 per sample unit; every division truncates
// toward zero.
#pragma once
#include <cstdint>

// The 64 dequantisation scale factors, row-major (8 * v + u), by the fixed float steps.
void BuildScaleTable(int32_t scaleTable[64]);

// Replaces each raw quantiser by (scale * q) >> 2.
void PrescaleQuantTable(int32_t table[64], const int32_t scaleTable[64]);

// Transforms one block of quantised coefficients in place into samples scaled by 1024,
// adding levelShift to every output (0 for chroma).
void InverseDct(int32_t block[64], const int32_t quant[64], int32_t levelShift);

// A value at 1024 per unit to a byte: below 0 gives 0, 255 * 1024 and above give 255.
inline uint8_t ClampSample(int64_t v) {
    if (v < 0) return 0;
    if (v >= 261120) return 255;
    return static_cast<uint8_t>(v >> 10);
}

// Truncating (c * k) / 1024, the product taken wide enough never to overflow.
inline int64_t ScaleDiv(int64_t c, int32_t k) { return (c * k) / 1024; }

// A 64-bit result stored back into the 32-bit state, wrapping like the 32-bit arithmetic.
inline int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }
