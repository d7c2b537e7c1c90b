// Picks the block transform once: AVX2, then SSE2, then the portable InverseDct.
#include <cstring>

#include "jpeg_idct_simd.h"
#include "jpeg_transform.h"

namespace {

using SimdTransform = bool (*)(const int32_t*, int32_t*, const int32_t*, int32_t, bool);

SimdTransform ChooseTransform() {
#if JPEG_SIMD_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return InverseDctAvx2;
    if (__builtin_cpu_supports("sse2")) return InverseDctSse2;
#endif
    return nullptr;
}

}  // namespace

bool TransformBlock(const int32_t* coef, int32_t* out, const int32_t* quant, int32_t levelShift,
                    bool inputsChecked) {
    static const SimdTransform simd = ChooseTransform();
    if (simd != nullptr && simd(coef, out, quant, levelShift, inputsChecked)) return true;
    if (out != coef) std::memcpy(out, coef, 64 * sizeof(int32_t));
    InverseDct(out, quant, levelShift);
    return false;
}

void ClearBlocks(int32_t (*blocks)[64], const bool* acWritten, size_t count) {
#if JPEG_SIMD_X86
    static const bool avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    if (avx2) return ClearBlocksAvx2(blocks, acWritten, count);
#endif
    for (size_t b = 0; b < count; ++b) {
        if (acWritten[b]) std::memset(blocks[b], 0, sizeof blocks[b]);
        else blocks[b][0] = 0;
    }
}
