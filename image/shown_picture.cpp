#include "image/shown_picture.h"

#include <new>
#include <utility>

#include "image/bmp_writer.h"

ShownPicture::ShownPicture(int screenBitsPerPixel, JpegMessages* messages, const HalftonePalette& halftone)
    : screenBitsPerPixel_(screenBitsPerPixel), messages_(messages), halftone_(halftone) {}

// Swapped with an empty vector, not cleared: the memory goes back at once, as a deleted bitmap's.
void ShownPicture::dropBitmap() {
    std::vector<uint8_t>().swap(pixels);
    pitch_ = 0;
}

uint8_t* ShownPicture::makeBitmap(const BitmapInfo& info, size_t& pitch) {
    const BitmapInfoHeader& h = info.header;
    if (h.width <= 0 || h.height <= 0 || h.planes != 1 || !isBitmapDepth(h.bitCount)) return nullptr;
    const uint64_t rowBytes = rowPitch(static_cast<uint32_t>(h.width), h.bitCount);
    if (rowBytes > kMaxPixelBytes / static_cast<uint32_t>(h.height)) return nullptr;
    std::vector<uint8_t> made;
    try {
        made.assign(static_cast<size_t>(rowBytes * static_cast<uint32_t>(h.height)), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    replaced_ = std::move(made);
    pixels.swap(replaced_);
    pitch_ = static_cast<size_t>(rowBytes);
    pitch = pitch_;
    return pixels.data();
}

void ShownPicture::dropReplacedBitmap() { std::vector<uint8_t>().swap(replaced_); }

bool pictureFileBytes(const ShownPicture& picture, std::vector<uint8_t>& file) {
    file.clear();
    if (!picture.hasBitmap()) return false;
    return writePictureBmp(picture.bitmapInfo, picture.pictureWidth, picture.pictureHeight, picture.pixels.data(),
                           picture.pitch(), picture.bitmapHeight(), file);
}
