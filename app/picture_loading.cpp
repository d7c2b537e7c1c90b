// The picture state from one entry: JPEG decoded straight into a bitmap section, BMP read by
// the shared parse and fill steps; on an 8-bit screen 24-bit pictures are dithered to the
// halftone palette.
#include <cstring>

#include "dib_section.h"
#include "image/bmp_reader.h"
#include "image/dither.h"
#include "jpeg_decoder.h"
#include "viewer_dialog.h"
#include "window_jpeg_messages.h"

namespace {

const size_t kLogPaletteCountOffset = 2;
const size_t kLogPaletteEntriesOffset = 4;

void setJpegHeader(BitmapInfoHeader& header, uint32_t width, uint32_t height) {
    header = BitmapInfoHeader{};
    header.width = static_cast<int32_t>(width);
    header.height = static_cast<int32_t>(height);
    header.bitCount = 24;
}

}  // namespace

int ViewerDialog::loadJpegPicture(uint32_t size, const uint8_t* data) {
    WindowJpegMessages messages(hwnd());
    JpegSize bitmap;
    {
        JpegDecoder probe(messages);
        if (!probe.Probe(data, size, bitmap)) return 0;
        pictureWidth = bitmap.width;
        pictureHeight = bitmap.height;
    }
    setJpegHeader(bitmapInfo.header, pictureWidth, pictureHeight);
    WindowDc dc(hwnd());
    deleteBitmap(pictureBitmap);
    pictureBits = nullptr;
    if (rowPitch(pictureWidth, 24) * pictureHeight > kMaxPixelBytes || !createPictureBitmap(dc.handle())) return 0;
    {
        const size_t pitch = bitmapRowPitch(pictureBitmap);
        JpegDecoder decoder(messages);
        uint8_t* topRow = pictureBits + pitch * (pictureHeight - 1);
        decoder.Decode(data, size, topRow, static_cast<int32_t>(pitch), bitmap);
        // Before a frame header the decoder holds no size of the frame: the probed size stays.
        const JpegSize frame = decoder.frameSize();
        if (decoder.frameRead() && frame.width <= pictureWidth && frame.height <= pictureHeight) {
            pictureWidth = frame.width;
            pictureHeight = frame.height;
        }
    }
    if (screenBitsPerPixel != 8) return 1;
    return ditherJpegToHalftone(dc.handle());
}

// A fresh halftone palette; its entries become the colour table, and the 24-bit bitmap is
// replaced by its dither.
int ViewerDialog::ditherJpegToHalftone(HDC clientDc) {
    if (!makeHalftonePaletteFor(clientDc)) return 0;
    applyHalftonePalette(bitmapInfo, halftone);
    HBITMAP trueColour = pictureBitmap;
    uint8_t* trueColourBits = pictureBits;
    pictureBitmap = nullptr;
    if (!createPictureBitmap(clientDc)) {
        pictureBitmap = trueColour;  // the 24-bit picture stays
        pictureBits = trueColourBits;
        return 0;
    }
    ditherToHalftone(trueColourBits, pictureBits, static_cast<uint32_t>(bitmapInfo.header.width),
                     static_cast<uint32_t>(bitmapInfo.header.height), 24, halftone.cubeTable);
    deleteBitmap(trueColour);
    return 1;
}

// Replaces `palette` by the halftone palette of a memory context like the window's, and keeps
// its colours with the cube table built for them (rebuilt only when the colours differ).
bool ViewerDialog::makeHalftonePaletteFor(HDC clientDc) {
    if (paletteCreated == 1) palette.destroy();
    MemoryDc memory(clientDc);
    paletteCreated = palette.createHalftone(memory.handle()) ? 1 : 0;
    if (paletteCreated == 0) return false;
    PALETTEENTRY entries[256] = {};
    palette.readEntries(entries, 256);
    ColourEntry colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i].blue = entries[i].peBlue;
        colours[i].green = entries[i].peGreen;
        colours[i].red = entries[i].peRed;
    }
    if (std::memcmp(colours, halftone.colours, sizeof colours) != 0) halftone = makeHalftonePalette(colours);
    return true;
}

bool ViewerDialog::createPictureBitmap(HDC dc) {
    pictureBitmap = createDibSection(dc, &bitmapInfo, pictureBits);
    return pictureBitmap != nullptr;
}

int ViewerDialog::loadBmpPicture(const uint8_t* data, uint32_t size) {
    BmpLayout layout;
    if (!parseBmp(data, size, screenBitsPerPixel, layout)) return 0;
    bitmapInfo.header = layout.bitmapInfo.header;
    if (layout.colourCount > 0) std::memcpy(bitmapInfo.colours, layout.bitmapInfo.colours, sizeof bitmapInfo.colours);
    WindowDc dc(hwnd());
    deleteBitmap(pictureBitmap);
    pictureBits = nullptr;
    pictureWidth = layout.width();
    pictureHeight = layout.height();
    switch (layout.road) {
    case BmpRoad::RunLength: {
        if (!createPictureBitmap(dc.handle())) return 0;
        const size_t pitch = bitmapRowPitch(pictureBitmap);
        return fillRunLengthPixels(data, size, layout, pictureBits, pitch, pitch * pictureHeight);
    }
    case BmpRoad::Dither: {
        if (!makeHalftonePaletteFor(dc.handle())) return 0;
        applyHalftonePalette(bitmapInfo, halftone);
        if (!createPictureBitmap(dc.handle())) return 0;
        const size_t pitch = bitmapRowPitch(pictureBitmap);
        return fillDitheredPixels(data, size, layout, halftone.cubeTable, pictureBits, pitch, pitch * pictureHeight)
                   ? 1
                   : 0;
    }
    case BmpRoad::Plain:
        break;
    }
    if (!setColourTablePalette(layout.colourCount) || !createPictureBitmap(dc.handle())) return 0;
    const size_t pitch = bitmapRowPitch(pictureBitmap);
    return fillPlainPixels(data, size, layout, pictureBits, pitch, pitch * pictureHeight) ? 1 : 0;
}

// The window palette from the first n colours of the colour table; none for n = 0.
int ViewerDialog::setColourTablePalette(uint32_t n) {
    if (paletteCreated == 1) palette.destroy();
    if (n == 0) {
        paletteCreated = 0;
        return 1;
    }
    if (n > 256) n = 256;
    uint8_t* buffer = logPaletteBuffer.get();
    buffer[kLogPaletteCountOffset] = static_cast<uint8_t>(n & 0xFF);
    buffer[kLogPaletteCountOffset + 1] = static_cast<uint8_t>(n >> 8);
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t* entry = buffer + kLogPaletteEntriesOffset + 4 * i;
        entry[0] = bitmapInfo.colours[i].red;
        entry[1] = bitmapInfo.colours[i].green;
        entry[2] = bitmapInfo.colours[i].blue;
        entry[3] = 0;
    }
    paletteCreated = palette.createFrom(buffer) ? 1 : 0;
    return static_cast<int>(paletteCreated);
}
