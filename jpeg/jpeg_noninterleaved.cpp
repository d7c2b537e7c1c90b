// Scans with fewer components than the frame: each component is blended into the pixels
// already in the picture. The first component writes grey, the second shifts blue and
// green, the third (or later) red and green, rounding to bytes in between.
#include "jpeg_decoder.h"
#include "jpeg_transform.h"

bool JpegDecoder::DecodeNonInterleavedScan() {
    for (ScanComponent& c : scan_.components) c.dcPredictor = 0;
    in_.bitsLeft = 0;
    mcuIndex_ = 0;
    while (mcuIndex_ < restartInterval_) {
        for (ScanComponent& c : scan_.components) {
            dcTable_ = &dcTables_[c.dcSelector];
            acTable_ = &acTables_[c.acSelector];
            if (!DecodeComponentMcu(c, mcuIndex_)) return false;
        }
        ++mcuIndex_;
    }
    return NextMarker();
}

// The component's blocks of MCU mcuNumber; blocks blended before a failure stay.
bool JpegDecoder::DecodeComponentMcu(ScanComponent& c, uint32_t mcuNumber) {
    if (mcuNumber >= scan_.mcuCount) return false;
    const int32_t* quant = quantTables_[c.quantSelector];
    for (int n = 0; n < c.blocksPerMcu; ++n) {
        if (!DecodeBlock(c, workBlock_)) return false;
        InverseDct(workBlock_, quant, c.index == 1 ? frame_.levelShift() : 0);
        if (c.index == 1) {
            uint32_t mx = mcuNumber % scan_.mcusAcross, my = mcuNumber / scan_.mcusAcross;
            uint32_t x0 = 8u * scan_.maxH * mx + 8u * (n % c.h);
            uint32_t y0 = 8u * scan_.maxV * my + 8u * (n / c.h);
            BlendGrey(workBlock_, x0, y0);
        } else {
            BlendChroma(workBlock_, mcuNumber, c.index == 2);
        }
    }
    return true;
}

void JpegDecoder::BlendGrey(const int32_t* block, uint32_t x0, uint32_t y0) {
    for (uint32_t y = 0; y < 8; ++y) {
        uint8_t* p = PixelAt(x0, y0 + y);
        for (uint32_t x = 0; x < 8; ++x, p += 3) p[0] = p[1] = p[2] = ClampSample(block[8 * y + x]);
    }
}

// Sample (cx, cy) of MCU m covers maxH x maxV pixels from (8 maxH mx + maxH cx, 8 maxV my + maxV cy).
void JpegDecoder::BlendChroma(const int32_t* block, uint32_t mcuNumber, bool blueDifference) {
    const uint32_t maxH = frame_.maxH, maxV = frame_.maxV;
    uint32_t x0 = 8u * maxH * (mcuNumber % scan_.mcusAcross), y0 = 8u * maxV * (mcuNumber / scan_.mcusAcross);
    int target = blueDifference ? 0 : 2;
    for (uint32_t cy = 0; cy < 8; ++cy) {
        for (uint32_t cx = 0; cx < 8; ++cx) {
            int64_t c = block[8 * cy + cx];
            int64_t offset = ScaleDiv(c, blueDifference ? 1815 : 1436);
            int64_t greenOffset = ScaleDiv(c, blueDifference ? 352 : 731);
            for (uint32_t dy = 0; dy < maxV; ++dy) {
                uint8_t* p = PixelAt(x0 + maxH * cx, y0 + maxV * cy + dy);
                for (uint32_t dx = 0; dx < maxH; ++dx, p += 3) {
                    p[target] = ClampSample(int64_t(p[target]) * 1024 + offset);
                    p[1] = ClampSample(int64_t(p[1]) * 1024 - greenOffset);
                }
            }
        }
    }
}
