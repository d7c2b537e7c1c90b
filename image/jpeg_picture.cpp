#include "image/jpeg_picture.h"

#include <algorithm>
#include <new>

#include "image/dither.h"
#include "jpeg/jpeg_decoder.h"

namespace {

// Header of a bottom-up, uncompressed 24-bit bitmap; the colour table is left as it is.
void setJpegHeader(BitmapInfoHeader& h, uint32_t width, uint32_t height) {
    h = BitmapInfoHeader{};
    h.width = static_cast<int32_t>(width);
    h.height = static_cast<int32_t>(height);
    h.bitCount = 24;
}

// Replaces the 24-bit pixels by their dither to the halftone palette (over the whole bitmap).
bool ditherPicture(ShownPicture& picture, const HalftonePalette& halftone) {
    const uint32_t width = static_cast<uint32_t>(picture.bitmapInfo.header.width);
    const uint32_t height = picture.bitmapHeight();
    std::vector<uint8_t> indexes;
    try {
        indexes.assign(static_cast<size_t>(rowPitch(width, 8)) * height, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    applyHalftonePalette(picture.bitmapInfo, halftone);
    ditherToHalftone(picture.pixels.data(), indexes.data(), width, height, 24, halftone.cubeTable);
    picture.pixels.swap(indexes);
    return true;
}

}  // namespace

int loadJpegPicture(const uint8_t* data, size_t size, int screenBitsPerPixel, ShownPicture& picture,
                    JpegMessages& messages, const HalftonePalette& halftone) {
    // The decoder takes a 32-bit length, as the 32-bit program's memory file gives it.
    const uint32_t length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
    JpegSize bitmap;
    {
        JpegDecoder probe(messages);
        if (!probe.Probe(data, length, bitmap)) return 0;
    }
    const uint32_t width = bitmap.width, height = bitmap.height;
    picture.pictureWidth = width;
    picture.pictureHeight = height;
    setJpegHeader(picture.bitmapInfo.header, width, height);
    picture.pixels.clear();
    const uint64_t pitch = rowPitch(width, 24);
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu ||
        pitch * height > kMaxPixelBytes) {
        return 0;
    }
    try {
        picture.pixels.assign(static_cast<size_t>(pitch * height), 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    {
        // The decoder goes down the picture from the top row, the last one in memory.
        JpegDecoder decoder(messages);
        uint8_t* topRow = picture.pixels.data() + static_cast<size_t>(pitch) * (height - 1);
        decoder.Decode(data, length, topRow, static_cast<int32_t>(pitch), bitmap);
        if (decoder.frameRead()) {
            picture.pictureWidth = std::min(decoder.frameSize().width, width);
            picture.pictureHeight = std::min(decoder.frameSize().height, height);
        }
    }
    if (screenBitsPerPixel != 8) return 1;
    return ditherPicture(picture, halftone) ? 1 : 0;
}
