#include "image/dither.h"

#include "image/halftone_tables.h"

namespace {

// Level 0..5 of one channel at threshold d: the quotient by 51, plus one when the remainder beats d.
inline uint32_t level(uint8_t value, uint8_t threshold) {
    return quotientBy51[value] + (remainderBy51[value] > threshold ? 1u : 0u);
}

}  // namespace

void ditherToHalftone(const uint8_t* source, uint8_t* destination, uint32_t width, uint32_t height,
                      uint32_t sourceBitsPerPixel, const uint8_t* cubeTable) {
    const uint32_t sourceRemainder = static_cast<uint32_t>(uint64_t(sourceBitsPerPixel) * width / 8 % 4);
    const uint32_t sourcePadding = sourceRemainder == 0 ? 0 : 4 - sourceRemainder;
    const uint32_t destinationPadding = width % 4 == 0 ? 0 : 4 - width % 4;
    const uint32_t bytesPerPixel = sourceBitsPerPixel / 8;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t d = ditherMatrix[x % 8][y % 8];
            const uint32_t blue = level(source[0], d), green = level(source[1], d), red = level(source[2], d);
            *destination++ = cubeTable[blueMultiple[blue] + greenMultiple[green] + red];
            source += bytesPerPixel;
        }
        source += sourcePadding;
        destination += destinationPadding;
    }
}
