#include "jpeg_select_bit.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace {

#if defined(__x86_64__)
__attribute__((target("bmi2"))) uint64_t SelectBmi2(uint64_t mask, int n) {
    return _pdep_u64(uint64_t(1) << n, mask);
}
#else
// 32-bit words: the low half when it holds enough set bits, else the high half.
__attribute__((target("bmi2,popcnt"))) uint64_t SelectBmi2(uint64_t mask, int n) {
    uint32_t low = static_cast<uint32_t>(mask), high = static_cast<uint32_t>(mask >> 32);
    int lowCount = __builtin_popcount(low);
    if (n < lowCount) return _pdep_u32(1u << n, low);
    return uint64_t(_pdep_u32(1u << (n - lowCount), high)) << 32;
}
#endif

using Select = uint64_t (*)(uint64_t, int);

Select Choose() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt") ? SelectBmi2 : SelectSetBitPortable;
}

}  // namespace

uint64_t SelectSetBitDispatched(uint64_t mask, int n) {
    static const Select select = Choose();
    return select(mask, n);
}

#endif
