// The n-th set bit of a mask, for skipping runs of zero coefficients in refinement scans.
#pragma once
#include <cstdint>

// Clears the n lowest set bits of `mask` and isolates the next one (0 when none is left).
inline uint64_t SelectSetBitPortable(uint64_t mask, int n) {
    for (; n > 0 && mask != 0; --n) mask &= mask - 1;
    return mask & (~mask + 1);
}

#if defined(__x86_64__)
// One bit deposit when the processor has BMI2, else the portable loop; chosen once.
uint64_t SelectSetBitDispatched(uint64_t mask, int n);
#endif

// The (n + 1)-th lowest set bit of `mask` alone, or 0 when it has n or fewer set bits.
inline uint64_t SelectSetBit(uint64_t mask, int n) {
#if defined(__x86_64__)
    return SelectSetBitDispatched(mask, n);
#else
    return SelectSetBitPortable(mask, n);
#endif
}
