// Bit positions in 64-bit masks, for skipping runs of zero coefficients in refinement scans.
#pragma once
#include <cstdint>

// Position of the lowest set bit of a non-zero mask, in 32-bit halves where words are 32 bits.
inline int LowestSetBit(uint64_t mask) {
#if defined(__x86_64__)
    return __builtin_ctzll(mask);
#else
    uint32_t low = static_cast<uint32_t>(mask);
    return low != 0 ? __builtin_ctz(low) : 32 + __builtin_ctz(static_cast<uint32_t>(mask >> 32));
#endif
}

// Clears the n lowest set bits of `mask` and isolates the next one (0 when none is left).
inline uint64_t SelectSetBitPortable(uint64_t mask, int n) {
#if defined(__x86_64__)
    for (; n > 0 && mask != 0; --n) mask &= mask - 1;
    return mask & (~mask + 1);
#else
    // Half by half where words are 32 bits.
    uint32_t low = static_cast<uint32_t>(mask), high = static_cast<uint32_t>(mask >> 32);
    for (; n > 0 && low != 0; --n) low &= low - 1;
    if (low != 0) return low & (~low + 1);
    for (; n > 0 && high != 0; --n) high &= high - 1;
    return uint64_t(high & (~high + 1)) << 32;
#endif
}

#if defined(__x86_64__) || defined(__i386__)
// Bit deposit when the processor has BMI2, else the portable loop; chosen once.
uint64_t SelectSetBitDispatched(uint64_t mask, int n);
#endif

// The (n + 1)-th lowest set bit of `mask` alone (0 <= n < 32), or 0 when it has n or fewer.
inline uint64_t SelectSetBit(uint64_t mask, int n) {
#if defined(__x86_64__) || defined(__i386__)
    return SelectSetBitDispatched(mask, n);
#else
    return SelectSetBitPortable(mask, n);
#endif
}
