// The picture's bitmap section and the window palette behind the page road.
#include "window_canvas.h"

#include <cstring>
#include <new>

#include "dib_section.h"

namespace {

const size_t kLogPaletteBufferSize = 1032;  // palette header and 256 entries
const uint16_t kPaletteVersion = 0x300;
const size_t kLogPaletteCountOffset = 2;
const size_t kLogPaletteEntriesOffset = 4;

}  // namespace

WindowCanvas::~WindowCanvas() {
    deleteBitmap(replaced_);
    deleteBitmap(bitmap_);
}

void WindowCanvas::readScreenDepth(HWND window) {
    window_ = window;
    messages_ = WindowJpegMessages(window);
    WindowDc dc(window_);
    screenBitsPerPixel_ = GetDeviceCaps(dc.handle(), BITSPIXEL);
    if (screenBitsPerPixel_ == 8 && palette_.createHalftone(dc.handle())) paletteCreated_ = true;
}

bool WindowCanvas::allocateLogPaletteBuffer() {
    logPaletteBuffer_.reset(new (std::nothrow) uint8_t[kLogPaletteBufferSize]());
    if (!logPaletteBuffer_) return false;
    logPaletteBuffer_[0] = static_cast<uint8_t>(kPaletteVersion & 0xFF);
    logPaletteBuffer_[1] = static_cast<uint8_t>(kPaletteVersion >> 8);
    return true;
}

void WindowCanvas::dropBitmap() {
    deleteBitmap(bitmap_);
    bits_ = nullptr;
}

uint8_t* WindowCanvas::makeBitmap(const BitmapInfo& info, size_t& pitch) {
    WindowDc dc(window_);
    uint8_t* bits = nullptr;
    HBITMAP made = createDibSection(dc.handle(), &info, bits);
    if (made == nullptr) return nullptr;
    deleteBitmap(replaced_);
    replaced_ = bitmap_;
    bitmap_ = made;
    bits_ = bits;
    pitch = bitmapRowPitch(made);
    return bits;
}

void WindowCanvas::dropReplacedBitmap() { deleteBitmap(replaced_); }

// Replaces the window palette by the halftone palette of a memory context like the window's,
// and keeps its colours with the cube table built for them (rebuilt only when the colours differ).
const HalftonePalette* WindowCanvas::useHalftonePalette() {
    if (paletteCreated_) palette_.destroy();
    WindowDc dc(window_);
    MemoryDc memory(dc.handle());
    paletteCreated_ = palette_.createHalftone(memory.handle());
    if (!paletteCreated_) return nullptr;
    PALETTEENTRY entries[256] = {};
    palette_.readEntries(entries, 256);
    ColourEntry colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i].blue = entries[i].peBlue;
        colours[i].green = entries[i].peGreen;
        colours[i].red = entries[i].peRed;
    }
    if (std::memcmp(colours, halftone_.colours, sizeof colours) != 0) halftone_ = makeHalftonePalette(colours);
    return &halftone_;
}

bool WindowCanvas::useColourTablePalette(uint32_t n) {
    if (paletteCreated_) palette_.destroy();
    if (n == 0) {
        paletteCreated_ = false;
        return true;
    }
    if (n > 256) n = 256;
    uint8_t* buffer = logPaletteBuffer_.get();
    buffer[kLogPaletteCountOffset] = static_cast<uint8_t>(n & 0xFF);
    buffer[kLogPaletteCountOffset + 1] = static_cast<uint8_t>(n >> 8);
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t* entry = buffer + kLogPaletteEntriesOffset + 4 * i;
        entry[0] = bitmapInfo.colours[i].red;
        entry[1] = bitmapInfo.colours[i].green;
        entry[2] = bitmapInfo.colours[i].blue;
        entry[3] = 0;
    }
    paletteCreated_ = palette_.createFrom(buffer);
    return paletteCreated_;
}
