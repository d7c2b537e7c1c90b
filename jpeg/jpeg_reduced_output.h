// Pixels of interleaved sequential MCUs at 1/2, 1/4 or 1/8 of the frame's size. Each block is
// transformed as for the full output and its samples are averaged over the areas of the
// reduced pixels before the colour conversion; a block that needs one value (the 1/8 luma)
// takes its DC value alone. Chroma is averaged to one sample per reduced pixel of its area, as
// the full output replicates each chroma sample over H x V pixels. Integer arithmetic only: the
// same MCU gives the same bytes on any thread.
#pragma once
#include <cstdint>

struct McuLayout;

// Writes MCU `mcuNumber` of a reduced layout (layout.reduction 1 to 3; grey, or components
// 1, 2, 3 in that order) at its reduced place: 8 >> reduction pixels per block each way.
void WriteReducedMcu(const McuLayout& layout, const int32_t (*coefficients)[64], const bool* acWritten,
                     uint32_t mcuNumber);
