#include "image/fitted_picture.h"

#include "collection.h"
#include "image/bitmap_rows.h"
#include "image/bmp_reader.h"
#include "image/canvas_dither.h"
#include "image/jpeg_reduced_picture.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"
#include "jpeg/jpeg_decoder.h"

namespace {

bool jpegFrameSize(const uint8_t* data, size_t size, PictureSize& shown) {
    DroppedJpegMessages dropped;
    JpegDecoder probe(dropped);
    JpegSize bitmap;
    const uint32_t length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
    if (!probe.Probe(data, length, bitmap)) return false;
    shown = {probe.frameSize().width, probe.frameSize().height};
    return true;
}

bool bmpSize(const uint8_t* data, size_t size, int screenBitsPerPixel, PictureSize& shown) {
    BmpLayout layout;
    if (!parseBmp(data, size, screenBitsPerPixel, layout)) return false;
    shown = {layout.width(), layout.height()};
    return true;
}

void setTrueColourHeader(BitmapInfoHeader& h, PictureSize size) {
    h = BitmapInfoHeader{};
    h.width = static_cast<int32_t>(size.width);
    h.height = static_cast<int32_t>(size.height);
    h.bitCount = 24;
}

// The whole picture reduced onto the canvas as a 24-bit bitmap, dithered on an 8-bit screen.
int showReduced(ShownPicture& whole, PictureSize wholeSize, PictureSize to, PictureCanvas& canvas) {
    BitmapRows rows(whole.bitmapInfo, whole.pixels.data(), whole.pitch(), wholeSize);
    if (!rows.open()) return 0;
    setTrueColourHeader(canvas.bitmapInfo.header, to);
    canvas.pictureWidth = to.width;
    canvas.pictureHeight = to.height;
    canvas.dropBitmap();
    size_t pitch = 0;
    uint8_t* pixels = canvas.makeBitmap(canvas.bitmapInfo, pitch);
    if (pixels == nullptr) return 0;
    if (!reduceAreaAverage(rows, to, pixels + pitch * (to.height - 1), -static_cast<ptrdiff_t>(pitch))) return 0;
    canvas.reduced = true;
    if (canvas.screenBitsPerPixel() != 8) return 1;
    return ditherCanvasToHalftone(canvas, pixels) ? 1 : 0;
}

bool fits(PictureSize picture, PictureSize bounds) {
    const PictureSize fitted = fittedSize(picture, bounds);
    return fitted.width == picture.width && fitted.height == picture.height;
}

}  // namespace

bool shownSizeOf(const uint8_t* data, size_t size, int screenBitsPerPixel, PictureSize& shown) {
    switch (pictureKind(data, size)) {
    case PictureKind::Bmp: return bmpSize(data, size, screenBitsPerPixel, shown);
    case PictureKind::Jpeg: return jpegFrameSize(data, size, shown);
    case PictureKind::NotDisplayable: break;
    }
    return false;
}

int showEntryWithin(const uint8_t* data, size_t size, PictureCanvas& canvas, PictureSize bounds) {
    canvas.reduced = false;
    PictureSize picture;
    if (!shownSizeOf(data, size, canvas.screenBitsPerPixel(), picture) || fits(picture, bounds)) {
        return showEntry(data, size, canvas);
    }
    int shown = 0;
    // A JPEG picture at least twice the fitted size both ways is decoded reduced, then averaged.
    const PictureSize fitted = fittedSize(picture, bounds);
    const uint8_t reduction = pictureKind(data, size) == PictureKind::Jpeg ? jpegReductionFor(picture, fitted) : 0;
    if (reduction != 0) {
        ShownPicture reduced(24, canvas.jpegMessages());
        if (loadReducedJpegPicture(data, size, reduction, reduced) && reduced.hasBitmap()) {
            shown = showReduced(reduced, {reduced.pictureWidth, reduced.pictureHeight}, fitted, canvas);
            if (canvas.reduced) return shown;
            return showEntry(data, size, canvas);
        }
    }
    {
        ShownPicture whole(24, canvas.jpegMessages());
        if (showEntry(data, size, whole) == 1 && whole.hasBitmap()) {
            const PictureSize wholeSize = {whole.pictureWidth, whole.pictureHeight};
            if (fits(wholeSize, bounds)) return showEntry(data, size, canvas);
            shown = showReduced(whole, wholeSize, fittedSize(wholeSize, bounds), canvas);
            if (canvas.reduced) return shown;
        }
    }
    return showEntry(data, size, canvas);
}
