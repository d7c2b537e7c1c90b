// The block transform with SIMD where the processor has it, chosen once at run time.
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(__i386__) || defined(__x86_64__)
#define JPEG_SIMD_X86 1
#else
#define JPEG_SIMD_X86 0
#endif

// Coefficients and quantisers within these have products that fit 32 bits.
constexpr int32_t kCoefficientLimit = 32767;
constexpr int32_t kQuantiserLimit = 65535;

#if JPEG_SIMD_X86
// Each transforms coef into out exactly as InverseDct would, or returns false without a
// result when a value is too large for its 32-bit lanes. `inputsChecked` says the caller
// knows every coefficient within kCoefficientLimit and every quantiser within kQuantiserLimit
// in magnitude.
bool InverseDctSse2(const int32_t* coef, int32_t* out, const int32_t* quant, int32_t levelShift, bool inputsChecked);
bool InverseDctAvx2(const int32_t* coef, int32_t* out, const int32_t* quant, int32_t levelShift, bool inputsChecked);
void ClearBlocksAvx2(int32_t (*blocks)[64], const bool* acWritten, size_t count);
#endif

// True when every entry of a pre-scaled quantiser table is within kQuantiserLimit in magnitude.
inline bool WithinQuantiserLimit(const int32_t quant[64]) {
    for (int k = 0; k < 64; ++k)
        if (quant[k] > kQuantiserLimit || quant[k] < -kQuantiserLimit) return false;
    return true;
}

// InverseDct of coef into out (the same block or another), by the fastest exact route. True
// when the SIMD route was taken, which leaves every output within 2^29 in magnitude.
bool TransformBlock(const int32_t* coef, int32_t* out, const int32_t* quant, int32_t levelShift,
                    bool inputsChecked = false);

// Makes `count` blocks all zero again after use: the DC value alone where acWritten says no
// AC coefficient was stored, else the whole block.
void ClearBlocks(int32_t (*blocks)[64], const bool* acWritten, size_t count);

// The transform of a block whose only non-zero coefficient is the DC value: every sample
// equals the dequantised DC value plus the shift, wrapped as InverseDct wraps it.
// True when that value is within 2^29 in magnitude.
inline bool TransformDcOnly(int32_t dc, int32_t* out, int32_t quantDc, int32_t levelShift) {
    uint32_t column = static_cast<uint32_t>(static_cast<int64_t>(dc) * quantDc);
    int32_t value = static_cast<int32_t>(column + static_cast<uint32_t>(levelShift));
    for (int i = 0; i < 64; ++i) out[i] = value;
    return value <= (int32_t(1) << 29) && value >= -(int32_t(1) << 29);
}
