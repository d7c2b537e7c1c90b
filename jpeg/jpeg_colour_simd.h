// Colour output of one MCU with SSE2, chosen at run time; the portable writers remain for
// other processors and for values beyond the limits below.
#pragma once
#include <cstdint>

// The MCU's luma blocks (H x V of them, left to right, top to bottom) and, for the sequential
// path, where its partial greens go (null for the progressive writers).
struct ColourMcu {
    const int32_t* luma[4];
    int32_t* green[4];
    const int32_t* cb;
    const int32_t* cr;
    uint8_t* topLeft;  // first pixel; rows go down by subtracting pitch
    int32_t pitch;
    int h, v;
    bool sequential;  // green as Y - (Cb 352) div 1024 - (Cr 731) div 1024, else Y - (Cr 731 + Cb 352) div 1024
    bool lumaBounded = false;  // the caller knows every luma value is within 2^29
};

// Writes the MCU and returns true, or returns false without writing when the processor has no
// SSE2 or a luma value exceeds 2^29 or a chroma value 2^20 in magnitude.
bool WriteColourMcuSimd(const ColourMcu& mcu);

// Writes an 8 x 8 grey block as WriteGreyBlock does and returns true, or returns false without
// writing when the processor has no AVX2.
bool WriteGreyBlockSimd(const int32_t* luma, uint8_t* topLeft, int32_t pitch);

#if defined(__i386__) || defined(__x86_64__)
bool WriteColourMcuSse2(const ColourMcu& mcu);
bool WriteColourMcuAvx2(const ColourMcu& mcu);
void WriteGreyBlockAvx2(const int32_t* luma, uint8_t* topLeft, int32_t pitch);
#endif
