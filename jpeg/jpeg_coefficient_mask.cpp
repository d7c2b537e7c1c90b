#include "jpeg_coefficient_mask.h"

#include "jpeg_zigzag.h"

namespace {

// Zig-zag bits of each byte of a natural-order mask: table[row][bits of that row].
struct ZigzagTable {
    uint64_t bits[8][256];
    ZigzagTable() {
        uint8_t position[64];
        for (int k = 0; k < 64; ++k) position[kZigzag[k]] = static_cast<uint8_t>(k);
        for (int row = 0; row < 8; ++row) {
            for (int byte = 0; byte < 256; ++byte) {
                uint64_t mask = 0;
                for (int c = 0; c < 8; ++c)
                    if (byte & (1 << c)) mask |= uint64_t(1) << position[8 * row + c];
                bits[row][byte] = mask;
            }
        }
    }
};

uint64_t NonZeroNaturalPortable(const int32_t* block) {
    uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) mask |= uint64_t(block[i] != 0) << i;
    return mask;
}

using NaturalMask = uint64_t (*)(const int32_t*);

NaturalMask ChooseNaturalMask() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sse2")) return NonZeroNaturalSse2;
#endif
    return NonZeroNaturalPortable;
}

}  // namespace

uint64_t NonZeroInZigzagOrder(const int32_t* block) {
    static const ZigzagTable table;
    static const NaturalMask natural = ChooseNaturalMask();
    uint64_t mask = natural(block), zigzag = 0;
    for (int row = 0; row < 8; ++row) zigzag |= table.bits[row][(mask >> (8 * row)) & 0xFF];
    return zigzag;
}
