// Expected pictures for the pixel checks.
#include "expected_picture.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "image/area_average.h"
#include "image/bitmap_rows.h"
#include "image/dither.h"
#include "image/halftone_palette.h"
#include "image/jpeg_reduced_picture.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"
#include "jpeg_messages.h"
#include "test_folders.h"

namespace {

uint32_t le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

uint32_t rgb(uint8_t red, uint8_t green, uint8_t blue) { return uint32_t(red) << 16 | uint32_t(green) << 8 | blue; }

// Wine on an 8-bit X screen with a shared colormap does not load a realised palette into the
// system palette: each entry is shown as the nearest of the 20 static colours (entries 0-9 and
// 246-255 of the halftone palette). Least squared distance, the lower entry on a tie.
void staticColoursOnScreen(const HalftonePalette& halftone, uint32_t shown[256]) {
    static const int kStatic[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255};
    for (int i = 0; i < 256; ++i) {
        const ColourEntry& c = halftone.colours[i];
        long best = -1;
        for (int k : kStatic) {
            const ColourEntry& s = halftone.colours[k];
            const long dr = c.red - s.red, dg = c.green - s.green, db = c.blue - s.blue;
            const long distance = dr * dr + dg * dg + db * db;
            if (best < 0 || distance < best) {
                best = distance;
                shown[i] = rgb(s.red, s.green, s.blue);
            }
        }
    }
}

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
    RecordingJpegMessages messages;
    const HalftonePalette halftone = platformHalftone();
    ShownPicture shown(8, &messages, halftone);
    if (showEntry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), shown) != 1 ||
        shown.bitmapInfo.header.bitCount != 8) {
        return false;
    }
    picture.width = static_cast<int>(shown.pictureWidth);
    picture.height = static_cast<int>(shown.pictureHeight);
    picture.pixels.assign(size_t(picture.width) * picture.height, 0);
    uint32_t onScreen[256];
    staticColoursOnScreen(halftone, onScreen);
    const size_t pitch = shown.pitch();
    const uint32_t rows = shown.bitmapHeight();
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = shown.pixels.data() + pitch * (rows - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            picture.pixels[size_t(y) * picture.width + x] = onScreen[row[x]];
        }
    }
    return true;
}

bool reducedDitheredPicture(const std::wstring& path, int width, int height, ScreenPixels& picture) {
    const std::string bytes = readFileBytes(path);
    RecordingJpegMessages messages;
    ShownPicture whole(24, &messages);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (showEntry(data, bytes.size(), whole) != 1) return false;
    const PictureSize to = {uint32_t(width), uint32_t(height)};
    // A JPEG at least twice the size shown is averaged from its reduced decode, as the viewer does.
    ShownPicture reducedJpeg(24, &messages);
    const uint8_t reduction = jpegReductionFor({whole.pictureWidth, whole.pictureHeight}, to);
    const ShownPicture& source =
        reduction != 0 && loadReducedJpegPicture(data, bytes.size(), reduction, reducedJpeg) ? reducedJpeg : whole;
    BitmapRows rows(source.bitmapInfo, source.pixels.data(), source.pitch(), {source.pictureWidth, source.pictureHeight});
    const size_t trueColourPitch = rowPitch(to.width, 24), indexPitch = rowPitch(to.width, 8);
    std::vector<uint8_t> reduced(trueColourPitch * to.height), indexes(indexPitch * to.height);
    if (!rows.open() || !reduceAreaAverage(rows, to, reduced.data() + trueColourPitch * (to.height - 1),
                                           -static_cast<ptrdiff_t>(trueColourPitch))) {
        return false;
    }
    const HalftonePalette halftone = platformHalftone();
    ditherToHalftone(reduced.data(), indexes.data(), to.width, to.height, 24, halftone.cubeTable);
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(size_t(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = indexes.data() + indexPitch * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const ColourEntry& c = halftone.colours[row[x]];
            picture.pixels[size_t(y) * width + x] = rgb(c.red, c.green, c.blue);
        }
    }
    return true;
}

bool trueColourPicture(const std::wstring& path, ScreenPixels& picture) {
    const std::string bytes = readFileBytes(path);
    RecordingJpegMessages messages;
    ShownPicture shown(32, &messages);
    if (showEntry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), shown) != 1) return false;
    const uint32_t depth = shown.bitmapInfo.header.bitCount;
    if (depth != 24 && depth != 8 && depth != 4) return false;
    picture.width = static_cast<int>(shown.pictureWidth);
    picture.height = static_cast<int>(shown.pictureHeight);
    picture.pixels.assign(size_t(picture.width) * picture.height, 0);
    const size_t pitch = shown.pitch();
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = shown.pixels.data() + pitch * (shown.bitmapHeight() - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            uint32_t colour;
            if (depth == 24) {
                colour = rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
            } else {
                const uint8_t index = depth == 8 ? row[x] : (x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15);
                const ColourEntry& c = shown.bitmapInfo.colours[index];
                colour = rgb(c.red, c.green, c.blue);
            }
            picture.pixels[size_t(y) * picture.width + x] = colour;
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

std::string firstDifferences(const ScreenPixels& picture, const ScreenPixels& grab, int count) {
    std::string text;
    for (int y = 0; y < picture.height && y < grab.height && count > 0; ++y)
        for (int x = 0; x < picture.width && x < grab.width && count > 0; ++x)
            if (picture.at(x, y) != grab.at(x, y)) {
                char line[64];
                snprintf(line, sizeof line, "(%d,%d) expected %06X got %06X; ", x, y, picture.at(x, y), grab.at(x, y));
                text += line;
                --count;
            }
    return text;
}
