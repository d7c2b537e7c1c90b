#include "jpeg_select_bit.h"

#if defined(__x86_64__)
#include <immintrin.h>

namespace {

__attribute__((target("bmi2"))) uint64_t SelectBmi2(uint64_t mask, int n) {
    return _pdep_u64(uint64_t(1) << n, mask);
}

using Select = uint64_t (*)(uint64_t, int);

Select Choose() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("bmi2") ? SelectBmi2 : SelectSetBitPortable;
}

}  // namespace

uint64_t SelectSetBitDispatched(uint64_t mask, int n) {
    static const Select select = Choose();
    return select(mask, n);
}

#endif
