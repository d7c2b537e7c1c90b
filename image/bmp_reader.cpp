#include "image/bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "image/dither.h"
#include "image/little_endian.h"
#include "image/rle.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kCoreHeaderSize = 12;

BitmapInfoHeader readInfoHeader(const uint8_t* p) {
    BitmapInfoHeader h;
    h.size = readLe32(p);
    h.width = static_cast<int32_t>(readLe32(p + 4));
    h.height = static_cast<int32_t>(readLe32(p + 8));
    h.planes = readLe16(p + 12);
    h.bitCount = readLe16(p + 14);
    h.compression = readLe32(p + 16);
    h.sizeImage = readLe32(p + 20);
    h.xPelsPerMeter = static_cast<int32_t>(readLe32(p + 24));
    h.yPelsPerMeter = static_cast<int32_t>(readLe32(p + 28));
    h.clrUsed = readLe32(p + 32);
    h.clrImportant = readLe32(p + 36);
    return h;
}

// The 12-byte core header as an information header: 16-bit unsigned width and height.
BitmapInfoHeader readCoreHeader(const uint8_t* p) {
    BitmapInfoHeader h;
    h.size = 40;
    h.width = readLe16(p + 4);
    h.height = readLe16(p + 6);
    h.planes = readLe16(p + 8);
    h.bitCount = readLe16(p + 10);
    return h;
}

// n: colours used, or the depth's table size when that field is 0; never more than the depth can
// index (256 for depths without a table), so that neither the table nor a palette overflows.
uint32_t colourCount(BitmapInfoHeader& h) {
    const uint32_t depthSize = paletteSizeForDepth(h.bitCount);
    if (h.clrUsed == 0) return depthSize;
    const uint32_t limit = depthSize != 0 ? depthSize : 256;
    if (h.clrUsed > limit) h.clrUsed = limit;
    return h.clrUsed;
}

// Reads n colour entries from `offset`: 4 bytes each after an information header, 3 after a core
// header. False when the data ends before the last one.
bool readColourTable(const uint8_t* data, size_t length, size_t offset, bool core, uint32_t n,
                     ColourEntry* colours) {
    const size_t entrySize = core ? 3 : 4;
    if (offset > length || (length - offset) / entrySize < n) return false;
    const uint8_t* p = data + offset;
    for (uint32_t i = 0; i < n; ++i, p += entrySize) {
        colours[i] = ColourEntry{p[0], p[1], p[2], core ? uint8_t(0) : p[3]};
    }
    return true;
}

// Whether the bitmap (and on the dither road its 24-bit source rows) can be made.
bool bitmapCanBeMade(const BmpLayout& layout) {
    const BitmapInfoHeader& h = layout.bitmapInfo.header;
    if (!isBitmapDepth(h.bitCount)) return false;
    const uint64_t height = layout.height();
    if (rowPitch(layout.width(), h.bitCount) * height > kMaxPixelBytes) return false;
    return layout.road != BmpRoad::Dither || rowPitch(layout.width(), 8) * height <= kMaxPixelBytes;
}

// The pixel bytes available from the pixel offset (none when it lies beyond the data).
size_t pixelBytesAvailable(size_t length, const BmpLayout& layout) {
    return layout.pixelOffset < length ? length - layout.pixelOffset : 0;
}

bool fits(const BmpLayout& layout, size_t pitch, size_t capacity) {
    return pitch == layout.bitmapPitch() && capacity >= layout.bitmapBytes();
}

}  // namespace

size_t BmpLayout::bitmapPitch() const {
    const uint32_t depth = road == BmpRoad::Dither ? 8 : bitmapInfo.header.bitCount;
    return static_cast<size_t>(rowPitch(width(), depth));
}

size_t BmpLayout::bitmapBytes() const { return bitmapPitch() * height(); }

namespace {

// The information or core header, after the checks of "BM", the header size and the size.
bool readHeader(const uint8_t* data, size_t length, BitmapInfoHeader& h, bool& core) {
    if (length < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') return false;
    h = readInfoHeader(data + kFileHeaderSize);
    core = h.size == kCoreHeaderSize;
    if (core) {
        h = readCoreHeader(data + kFileHeaderSize);
    } else if (h.size != kInfoHeaderSize) {
        return false;
    }
    return h.width > 0 && h.height > 0;  // top-down files are refused
}

// Picks the road and makes the header that of the uncompressed bitmap to be made.
bool chooseRoad(size_t length, int screenBitsPerPixel, BitmapInfoHeader& h, BmpLayout& layout) {
    h.sizeImage = 0;
    if (h.compression != 0 && h.compression != 3) {
        // The compressed data runs from the pixel offset to the end; an offset beyond the end
        // leaves nothing that could be read.
        if (layout.pixelOffset > length) return false;
        layout.road = BmpRoad::RunLength;
        layout.rleKind = h.compression;
        h.clrImportant = 0;
    } else {
        // Bit-field masks are not applied: 16 bits are read as 5-5-5, 32 as blue, green, red, unused.
        layout.road = screenBitsPerPixel == 8 && h.bitCount == 24 ? BmpRoad::Dither : BmpRoad::Plain;
    }
    h.compression = 0;
    return true;
}

}  // namespace

bool parseBmp(const uint8_t* data, size_t length, int screenBitsPerPixel, BmpLayout& layout) {
    layout = BmpLayout{};
    BitmapInfoHeader h;
    bool core = false;
    if (!readHeader(data, length, h, core)) return false;
    layout.pixelOffset = readLe32(data + 10);
    layout.colourCount = colourCount(h);
    const size_t tableOffset = kFileHeaderSize + (core ? kCoreHeaderSize : kInfoHeaderSize);
    if (!readColourTable(data, length, tableOffset, core, layout.colourCount, layout.bitmapInfo.colours)) {
        return false;
    }
    if (!chooseRoad(length, screenBitsPerPixel, h, layout)) return false;
    layout.bitmapInfo.header = h;
    return bitmapCanBeMade(layout);
}

bool fillPlainPixels(const uint8_t* data, size_t length, const BmpLayout& layout, uint8_t* pixels,
                     size_t pitch, size_t capacity) {
    if (!fits(layout, pitch, capacity)) return false;
    const size_t wanted = layout.bitmapBytes();
    const size_t got = std::min(wanted, pixelBytesAvailable(length, layout));
    if (got > 0) std::memcpy(pixels, data + layout.pixelOffset, got);
    return got == wanted;
}

bool fillDitheredPixels(const uint8_t* data, size_t length, const BmpLayout& layout,
                        const uint8_t* cubeTable, uint8_t* pixels, size_t pitch, size_t capacity) {
    if (!fits(layout, pitch, capacity)) return false;
    // Source rows of 3 · width bytes rounded up to 4; what the data lacks stays black.
    const size_t wanted = static_cast<size_t>(rowPitch(layout.width(), 24)) * layout.height();
    std::vector<uint8_t> source;
    try {
        source.assign(wanted, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const size_t got = std::min(wanted, pixelBytesAvailable(length, layout));
    if (got > 0) std::memcpy(source.data(), data + layout.pixelOffset, got);
    ditherToHalftone(source.data(), pixels, layout.width(), layout.height(), 24, cubeTable);
    return got == wanted;
}

int fillRunLengthPixels(const uint8_t* data, size_t length, const BmpLayout& layout, uint8_t* pixels,
                        size_t pitch, size_t capacity) {
    if (!fits(layout, pitch, capacity)) return 0;
    return expandRle(layout.rleKind, data + layout.pixelOffset, pixelBytesAvailable(length, layout), pixels,
                     layout.bitmapBytes(), pitch);
}
