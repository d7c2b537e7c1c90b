#include "image/bmp_picture.h"

#include <new>

#include "image/bmp_reader.h"

namespace {

int fillBmpPixels(const uint8_t* data, size_t size, const BmpLayout& layout, const HalftonePalette& halftone,
                  ShownPicture& picture) {
    uint8_t* pixels = picture.pixels.data();
    const size_t pitch = picture.pitch(), capacity = picture.pixels.size();
    switch (layout.road) {
    case BmpRoad::RunLength:
        return fillRunLengthPixels(data, size, layout, pixels, pitch, capacity);
    case BmpRoad::Dither:
        return fillDitheredPixels(data, size, layout, halftone.cubeTable, pixels, pitch, capacity) ? 1 : 0;
    case BmpRoad::Plain:
        break;
    }
    return fillPlainPixels(data, size, layout, pixels, pitch, capacity) ? 1 : 0;
}

}  // namespace

int loadBmpPicture(const uint8_t* data, size_t size, int screenBitsPerPixel, ShownPicture& picture,
                   const HalftonePalette& halftone) {
    BmpLayout layout;
    if (!parseBmp(data, size, screenBitsPerPixel, layout)) return 0;
    // The previous bitmap goes; the colour table changes only when the file has one.
    picture.pixels.clear();
    picture.bitmapInfo.header = layout.bitmapInfo.header;
    if (layout.colourCount > 0) {
        for (int i = 0; i < 256; ++i) picture.bitmapInfo.colours[i] = layout.bitmapInfo.colours[i];
    }
    picture.pictureWidth = layout.width();
    picture.pictureHeight = layout.height();
    if (layout.road == BmpRoad::Dither) applyHalftonePalette(picture.bitmapInfo, halftone);
    try {
        picture.pixels.assign(layout.bitmapBytes(), 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return fillBmpPixels(data, size, layout, halftone, picture);
}
