#include "image/canvas_dither.h"

#include "image/dither.h"
#include "image/halftone_palette.h"

bool ditherCanvasToHalftone(PictureCanvas& canvas, const uint8_t* trueColour) {
    const HalftonePalette* halftone = canvas.useHalftonePalette();
    if (halftone == nullptr) return false;
    applyHalftonePalette(canvas.bitmapInfo, *halftone);
    size_t pitch = 0;
    uint8_t* indexes = canvas.makeBitmap(canvas.bitmapInfo, pitch);
    if (indexes == nullptr) return false;
    ditherToHalftone(trueColour, indexes, static_cast<uint32_t>(canvas.bitmapInfo.header.width),
                     static_cast<uint32_t>(canvas.bitmapInfo.header.height), 24, halftone->cubeTable);
    canvas.dropReplacedBitmap();
    return true;
}
