// Which coefficients of a block are non-zero, as a mask in zig-zag order, so that the
// refinement scans visit only the non-zero ones.
#pragma once
#include <cstdint>

// Bit k is set when the coefficient at zig-zag position k is non-zero.
uint64_t NonZeroInZigzagOrder(const int32_t* block);
uint64_t NonZeroInZigzagOrder(const int16_t* block);

// Copies a 16-bit block into 32-bit coefficients; true when any AC coefficient is non-zero.
bool WidenBlock(const int16_t* block, int32_t* out);

#if defined(__i386__) || defined(__x86_64__)
uint64_t NonZeroNaturalSse2(const int32_t* block);  // bit i for natural index i
uint64_t NonZeroNaturalSse2(const int16_t* block);
bool WidenBlockSse2(const int16_t* block, int32_t* out);
#endif
