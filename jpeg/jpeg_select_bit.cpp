#include "jpeg_select_bit.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
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

// AMD and Hygon processors before family 19h run bit deposit in microcode, hundreds of cycles
// each: there the portable loop, at most 15 steps, is many times faster.
bool SlowBitDeposit() {
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx)) return true;
    const bool amd = ebx == 0x68747541 && edx == 0x69746e65 && ecx == 0x444d4163;    // AuthenticAMD
    const bool hygon = ebx == 0x6f677948 && edx == 0x6e65476e && ecx == 0x656e6975;  // HygonGenuine
    if (!amd && !hygon) return false;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return true;
    unsigned family = (eax >> 8) & 0xf;
    if (family == 0xf) family += (eax >> 20) & 0xff;
    return family < 0x19;
}

Select Choose() {
    __builtin_cpu_init();
    const bool bmi2 = __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
    return bmi2 && !SlowBitDeposit() ? SelectBmi2 : SelectSetBitPortable;
}

}  // namespace

uint64_t SelectSetBitDispatched(uint64_t mask, int n) {
    static const Select select = Choose();
    return select(mask, n);
}

#endif
