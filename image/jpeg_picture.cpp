#include "image/jpeg_picture.h"

#include "image/canvas_dither.h"
#include "jpeg/jpeg_decoder.h"

namespace {

// Header of a bottom-up, uncompressed 24-bit bitmap; the colour table is left as it is.
void setJpegHeader(BitmapInfoHeader& h, uint32_t width, uint32_t height) {
    h = BitmapInfoHeader{};
    h.width = static_cast<int32_t>(width);
    h.height = static_cast<int32_t>(height);
    h.bitCount = 24;
}

}  // namespace

int loadJpegPicture(const uint8_t* data, size_t size, PictureCanvas& canvas) {
    DroppedJpegMessages dropped;
    JpegMessages& messages = canvas.jpegMessages() != nullptr ? *canvas.jpegMessages() : dropped;
    // The decoder takes a 32-bit length, as the 32-bit program's memory file gives it.
    const uint32_t length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
    JpegSize bitmap;
    {
        JpegDecoder probe(messages);
        if (!probe.Probe(data, length, bitmap)) return 0;
    }
    const uint32_t width = bitmap.width, height = bitmap.height;
    canvas.pictureWidth = width;
    canvas.pictureHeight = height;
    setJpegHeader(canvas.bitmapInfo.header, width, height);
    canvas.dropBitmap();
    // A frame header of height 0 probes as a bitmap of no rows: no bitmap can be made for it.
    if (width == 0 || height == 0 || rowPitch(width, 24) > kMaxPixelBytes / height) return 0;
    size_t pitch = 0;
    uint8_t* pixels = canvas.makeBitmap(canvas.bitmapInfo, pitch);
    if (pixels == nullptr) return 0;
    {
        // The decoder goes down the picture from the top row, the last one in memory.
        JpegDecoder decoder(messages);
        uint8_t* topRow = pixels + pitch * (height - 1);
        decoder.Decode(data, length, topRow, static_cast<int32_t>(pitch), bitmap);
        // Before a frame header the decoder holds no size of the frame: the probed size stays.
        const JpegSize frame = decoder.frameSize();
        if (decoder.frameRead() && frame.width <= width && frame.height <= height) {
            canvas.pictureWidth = frame.width;
            canvas.pictureHeight = frame.height;
        }
    }
    if (canvas.screenBitsPerPixel() != 8) return 1;
    return ditherCanvasToHalftone(canvas, pixels) ? 1 : 0;
}
