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

template <class T>
uint64_t NonZeroNaturalPortable(const T* block) {
    uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) mask |= uint64_t(block[i] != 0) << i;
    return mask;
}

template <class T>
using NaturalMask = uint64_t (*)(const T*);

template <class T>
NaturalMask<T> ChooseNaturalMask() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sse2")) return static_cast<NaturalMask<T>>(NonZeroNaturalSse2);
#endif
    return NonZeroNaturalPortable<T>;
}

uint64_t ZigzagOfNatural(uint64_t mask) {
    static const ZigzagTable table;
    uint64_t zigzag = 0;
    for (int row = 0; row < 8; ++row) zigzag |= table.bits[row][(mask >> (8 * row)) & 0xFF];
    return zigzag;
}

}  // namespace

uint64_t NonZeroInZigzagOrder(const int32_t* block) {
    static const NaturalMask<int32_t> natural = ChooseNaturalMask<int32_t>();
    return ZigzagOfNatural(natural(block));
}

bool WidenBlock(const int16_t* block, int32_t* out) {
#if defined(__i386__) || defined(__x86_64__)
    static const bool sse2 = (__builtin_cpu_init(), __builtin_cpu_supports("sse2"));
    if (sse2) return WidenBlockSse2(block, out);
#endif
    int32_t any = 0;
    for (int i = 0; i < 64; ++i) out[i] = block[i];
    for (int i = 1; i < 64; ++i) any |= block[i];
    return any != 0;
}

uint64_t NonZeroInZigzagOrder(const int16_t* block) {
    static const NaturalMask<int16_t> natural = ChooseNaturalMask<int16_t>();
    return ZigzagOfNatural(natural(block));
}
