#include "image/bmp_picture.h"

#include <cstring>

#include "image/bmp_reader.h"
#include "image/halftone_palette.h"

int loadBmpPicture(const uint8_t* data, size_t size, PictureCanvas& canvas) {
    BmpLayout layout;
    if (!parseBmp(data, size, canvas.screenBitsPerPixel(), layout)) return 0;
    BitmapInfo& info = canvas.bitmapInfo;
    info.header = layout.bitmapInfo.header;
    if (layout.colourCount > 0) std::memcpy(info.colours, layout.bitmapInfo.colours, sizeof info.colours);
    canvas.dropBitmap();
    canvas.pictureWidth = layout.width();
    canvas.pictureHeight = layout.height();
    const HalftonePalette* halftone = nullptr;
    switch (layout.road) {
    case BmpRoad::RunLength:
        break;
    case BmpRoad::Dither:
        halftone = canvas.useHalftonePalette();
        if (halftone == nullptr) return 0;
        applyHalftonePalette(info, *halftone);
        break;
    case BmpRoad::Plain:
        if (!canvas.useColourTablePalette(layout.colourCount)) return 0;
        break;
    }
    size_t pitch = 0;
    uint8_t* pixels = canvas.makeBitmap(info, pitch);
    if (pixels == nullptr) return 0;
    // parseBmp keeps the bitmap within kMaxPixelBytes; a capacity cut by the cast only refuses.
    const size_t capacity = static_cast<size_t>(uint64_t(pitch) * layout.height());
    switch (layout.road) {
    case BmpRoad::RunLength:
        return fillRunLengthPixels(data, size, layout, pixels, pitch, capacity);
    case BmpRoad::Dither:
        return fillDitheredPixels(data, size, layout, halftone->cubeTable, pixels, pitch, capacity) ? 1 : 0;
    case BmpRoad::Plain:
        break;
    }
    return fillPlainPixels(data, size, layout, pixels, pitch, capacity) ? 1 : 0;
}
