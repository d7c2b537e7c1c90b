// Picks the colour writer once: AVX2, then SSE2; without either the caller's portable writer.
#include "jpeg_colour_simd.h"
#include "jpeg_idct_simd.h"

namespace {

using Writer = bool (*)(const ColourMcu&);

Writer ChooseWriter() {
#if JPEG_SIMD_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return WriteColourMcuAvx2;
    if (__builtin_cpu_supports("sse2")) return WriteColourMcuSse2;
#endif
    return nullptr;
}

}  // namespace

bool WriteColourMcuSimd(const ColourMcu& mcu) {
    static const Writer writer = ChooseWriter();
    return writer != nullptr && writer(mcu);
}

bool WriteGreyBlockSimd(const int32_t* luma, uint8_t* topLeft, int32_t pitch) {
#if JPEG_SIMD_X86
    static const bool avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    if (avx2) {
        WriteGreyBlockAvx2(luma, topLeft, pitch);
        return true;
    }
#endif
    return false;
}
