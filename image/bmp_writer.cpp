#include "image/bmp_writer.h"

#include <cstring>
#include <new>

#include "image/little_endian.h"

namespace {

constexpr uint32_t kHeadersSize = 14 + 40;

// The colours-used field never claims more entries than the file's table holds (a 16-bit BMP
// with a colour table of its own has none in the file written from it).
void putInfoHeader(uint8_t* p, const BitmapInfoHeader& h, uint32_t width, uint32_t height, uint32_t tableEntries) {
    const uint64_t pixelCount = uint64_t(width) * height;
    writeLe32(p, h.size);
    writeLe32(p + 4, width);
    writeLe32(p + 8, height);
    writeLe16(p + 12, h.planes);
    writeLe16(p + 14, h.bitCount);
    writeLe32(p + 16, h.compression);
    writeLe32(p + 20, pixelCount > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(pixelCount));
    writeLe32(p + 24, static_cast<uint32_t>(h.xPelsPerMeter));
    writeLe32(p + 28, static_cast<uint32_t>(h.yPelsPerMeter));
    writeLe32(p + 32, h.clrUsed < tableEntries ? h.clrUsed : tableEntries);
    writeLe32(p + 36, h.clrImportant);
}

}  // namespace

bool writePictureBmp(const BitmapInfo& info, uint32_t pictureWidth, uint32_t pictureHeight,
                     const uint8_t* pixels, size_t pitch, uint32_t bitmapHeight, std::vector<uint8_t>& file) {
    file.clear();
    const uint32_t depth = info.header.bitCount;
    if (!isBitmapDepth(depth) || pictureWidth == 0 || pictureHeight == 0 || pictureWidth > 0x7FFFFFFFu ||
        pictureHeight > 0x7FFFFFFFu) {
        return false;
    }
    const uint64_t rowBytes = rowPitch(pictureWidth, depth);
    if (rowBytes * pictureHeight > kMaxPixelBytes) return false;
    if (pictureHeight > bitmapHeight || rowBytes > pitch) return false;

    const uint32_t n = paletteSizeForDepth(depth);
    const uint32_t pixelOffset = kHeadersSize + 4 * n;
    const uint32_t fileSize = pixelOffset + static_cast<uint32_t>(rowBytes * pictureHeight);
    try {
        file.assign(fileSize, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint8_t* p = file.data();
    p[0] = 'B';
    p[1] = 'M';
    writeLe32(p + 2, fileSize);
    writeLe32(p + 10, pixelOffset);
    putInfoHeader(p + 14, info.header, pictureWidth, pictureHeight, n);
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t* entry = p + kHeadersSize + 4 * i;
        entry[0] = info.colours[i].blue;
        entry[1] = info.colours[i].green;
        entry[2] = info.colours[i].red;
    }
    // Rows below the picture (MCU rounding of a JPEG bitmap) are skipped.
    const uint8_t* row = pixels + size_t(bitmapHeight - pictureHeight) * pitch;
    uint8_t* out = p + pixelOffset;
    for (uint32_t y = 0; y < pictureHeight; ++y, row += pitch, out += rowBytes) {
        std::memcpy(out, row, static_cast<size_t>(rowBytes));
    }
    return true;
}
