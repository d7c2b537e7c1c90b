// Pixels of interleaved sequential MCUs at 1/2, 1/4 or 1/8 of the frame's size. Each output
// sample is the area average of the samples the full transform would give over its 2x2, 4x4
// or 8x8 pixels, computed from the coefficients directly: the DC value alone for 1/8, small
// transforms for the others. Chroma is reduced to one sample per reduced pixel of its area,
// as the full output replicates each chroma sample over H x V pixels.
#pragma once
#include <cstdint>

struct McuLayout;

// Samples (1024 per unit, levelShift added) of one block of quantised coefficients (natural
// order) averaged over areas of 8/across x 8/down pixels: `across` x `down` samples into out,
// row after row; each of across and down is 1, 2, 4 or 8. `acWritten` false says only the
// DC value is set. Values beyond 2^30 in magnitude are clamped there.
void ReduceBlock(const int32_t* coef, bool acWritten, const int32_t* quant, int32_t levelShift, int across,
                 int down, int32_t* out);

// Writes MCU `mcuNumber` of a reduced layout (layout.reduction 1 to 3; grey, or components
// 1, 2, 3 in that order) at its reduced place: 8 >> reduction pixels per block each way.
void WriteReducedMcu(const McuLayout& layout, const int32_t (*coefficients)[64], const bool* acWritten,
                     uint32_t mcuNumber);
