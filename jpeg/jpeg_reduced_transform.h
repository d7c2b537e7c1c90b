// A block's area averages straight from its coefficients: the average over half of an 8-point
// inverse transform is a sum over its coefficients with fixed weights in which the even
// frequencies but 0 vanish, and over all 8 points it is the DC term; so a block reduced by 4
// or 8 each way needs no full transform. Integer arithmetic at 1024 per sample unit, as the
// transform's.
#pragma once
#include <cstdint>

// Writes the (8 >> shiftAcross) x (8 >> shiftDown) averages of the block's samples into out,
// rows `pitch` apart, each with levelShift added; coef in natural order, quant the pre-scaled
// quantisers. Shifts 2 or 3; any input gives a defined result (sums wrap in 64 bits).
void ReducedTransform(const int32_t* coef, const int32_t* quant, int32_t levelShift, int shiftAcross, int shiftDown,
                      int32_t* out, int pitch);
