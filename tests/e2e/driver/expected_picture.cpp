// Expected pictures for the pixel checks.
#include "expected_picture.h"

#include <cstring>

#include "image/halftone_palette.h"
#include "image/show_entry.h"
#include "jpeg_messages.h"
#include "test_folders.h"

namespace {

uint32_t le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

uint32_t rgb(uint8_t red, uint8_t green, uint8_t blue) { return uint32_t(red) << 16 | uint32_t(green) << 8 | blue; }

// The palette CreateHalftonePalette gives on this system.
HalftonePalette platformHalftone() {
    HDC screen = GetDC(nullptr);
    HPALETTE palette = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
    PALETTEENTRY entries[256] = {};
    GetPaletteEntries(palette, 0, 256, entries);
    DeleteObject(palette);
    ColourEntry colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = ColourEntry{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return makeHalftonePalette(colours);
}

}  // namespace

bool readBmp(const std::wstring& path, ScreenPixels& picture) {
    const std::string bytes = readFileBytes(path);
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return false;
    const uint32_t offset = le32(bytes, 10), width = le32(bytes, 18), height = le32(bytes, 22);
    const uint32_t depth = le32(bytes, 28) % 65536;
    if ((depth != 24 && depth != 8 && depth != 4) || width > 10000 || height > 10000) return false;
    const size_t pitch = (size_t(width) * depth + 31) / 32 * 4;
    if (offset + pitch * height > bytes.size() || (depth < 24 && 54 + (4u << depth) > offset)) return false;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.assign(size_t(width) * height, 0);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = reinterpret_cast<const uint8_t*>(bytes.data()) + offset + pitch * (height - 1 - y);
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* colour = row + 3 * x;  // blue, green, red
            if (depth < 24) {
                uint32_t index = depth == 8 ? row[x] : (x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15);
                colour = reinterpret_cast<const uint8_t*>(bytes.data()) + 54 + 4 * index;
            }
            picture.pixels[size_t(y) * width + x] = rgb(colour[2], colour[1], colour[0]);
        }
    }
    return true;
}

bool ditheredPicture(const std::wstring& path, ScreenPixels& picture) {
    const std::string bytes = readFileBytes(path);
    ShownPicture shown;
    RecordingJpegMessages messages;
    const HalftonePalette halftone = platformHalftone();
    if (showEntry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 8, shown, messages, halftone) != 1 ||
        shown.bitmapInfo.header.bitCount != 8) {
        return false;
    }
    picture.width = static_cast<int>(shown.pictureWidth);
    picture.height = static_cast<int>(shown.pictureHeight);
    picture.pixels.assign(size_t(picture.width) * picture.height, 0);
    const size_t pitch = shown.pitch();
    const uint32_t rows = shown.bitmapHeight();
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = shown.pixels.data() + pitch * (rows - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            const ColourEntry& c = shown.bitmapInfo.colours[row[x]];
            picture.pixels[size_t(y) * picture.width + x] = rgb(c.red, c.green, c.blue);
        }
    }
    return true;
}

long differingPixels(const ScreenPixels& picture, const ScreenPixels& grab) {
    if (grab.width < picture.width || grab.height < picture.height) return -1;
    long differing = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.at(x, y) != grab.at(x, y)) ++differing;
    return differing;
}
