// SSSE3 loops of the area average, called only when the processor has SSSE3.
#pragma once
#include <cstddef>
#include <cstdint>

// Output pixels 0..count-1 of a row: pixel i from the 16 bytes at row + 3·first[i] (all inside
// the row) with the 16 weights at weights + 16·i, laid out w0 w1 ×3, 0 0, w2 w3 ×3, 0 0. Writes
// one 16-bit value past each pixel, so the caller leaves room for it. Returns count.
uint32_t ReduceRowSsse3(const uint8_t* row, const uint32_t* first, const int16_t* weights, uint32_t count,
                        uint16_t* out);

// sums[i] = (firstRow ? 0 : sums[i]) + reduced[i]·weight for i < n; weight at most 2^15.
void AddWeightedRowSsse3(const uint16_t* reduced, uint32_t weight, bool firstRow, uint32_t* sums, size_t n);

// out[i] = (sums[i] + 2^22) >> 23, each at most 255.
void FinishRowSsse3(const uint32_t* sums, uint8_t* out, size_t n);
