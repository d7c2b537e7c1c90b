// Pixel output of interleaved sequential MCUs: grey, and the two colour-difference passes.
// Pixel bytes are blue, green, red.
#include "jpeg_colour_writer.h"
#include "jpeg_decoder.h"
#include "jpeg_transform.h"

void JpegDecoder::WriteGrey(uint32_t mcuNumber) {
    uint32_t x0 = 8 * (mcuNumber % mcusAcross), y0 = 8 * (mcuNumber / mcusAcross);
    WriteGreyBlock(sampleArea[0], PixelAt(x0, y0), outputPitch);
}

// Luminance blocks sit in sampleArea 0..3 (left to right, top to bottom); the partial green
// values at the same places in blocks 4..7. Each chroma sample covers scanMaxH x scanMaxV pixels.
void JpegDecoder::BlueDifferencePass(const int32_t* chroma, uint32_t mcuNumber) {
    uint32_t w = 8u * scanMaxH, h = 8u * scanMaxV;
    uint32_t x0 = w * (mcuNumber % mcusAcross), y0 = h * (mcuNumber / mcusAcross);
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* p = PixelAt(x0, y0 + y);
        for (uint32_t x = 0; x < w; ++x, p += 3) {
            int b = static_cast<int>((y / 8) * scanMaxH + x / 8);
            int at = static_cast<int>(8 * (y % 8) + x % 8);
            int64_t c = chroma[8 * (y / scanMaxV) + x / scanMaxH];
            int64_t luma = sampleArea[b][at];
            p[0] = ClampSample(luma + ScaleDiv(c, 1815));
            sampleArea[4 + b][at] = Wrap32(luma - ScaleDiv(c, 352));
        }
    }
}

void JpegDecoder::RedDifferencePass(const int32_t* chroma, uint32_t mcuNumber) {
    uint32_t w = 8u * scanMaxH, h = 8u * scanMaxV;
    uint32_t x0 = w * (mcuNumber % mcusAcross), y0 = h * (mcuNumber / mcusAcross);
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* p = PixelAt(x0, y0 + y);
        for (uint32_t x = 0; x < w; ++x, p += 3) {
            int b = static_cast<int>((y / 8) * scanMaxH + x / 8);
            int at = static_cast<int>(8 * (y % 8) + x % 8);
            int64_t c = chroma[8 * (y / scanMaxV) + x / scanMaxH];
            p[2] = ClampSample(sampleArea[b][at] + ScaleDiv(c, 1436));
            p[1] = ClampSample(sampleArea[4 + b][at] - ScaleDiv(c, 731));
        }
    }
}
