#include "image/halftone_palette.h"

#include <cstring>

#include "image/halftone_tables.h"

namespace {

// The 20 static colours of a Windows palette screen: red, green, blue at entries 0-9 and 246-255.
struct StaticColour {
    int index;
    uint8_t red, green, blue;
};
const StaticColour staticColours[20] = {
    {0, 0, 0, 0},         {1, 128, 0, 0},       {2, 0, 128, 0},       {3, 128, 128, 0},
    {4, 0, 0, 128},       {5, 128, 0, 128},     {6, 0, 128, 128},     {7, 192, 192, 192},
    {8, 192, 220, 192},   {9, 166, 202, 240},   {246, 255, 251, 240}, {247, 160, 160, 164},
    {248, 128, 128, 128}, {249, 255, 0, 0},     {250, 0, 255, 0},     {251, 255, 255, 0},
    {252, 0, 0, 255},     {253, 255, 0, 255},   {254, 0, 255, 255},   {255, 255, 255, 255},
};

HalftonePalette makeWindowsPalette() {
    HalftonePalette palette{};
    for (int i = 0; i < 216; ++i) palette.colours[cubeToPalette[i]] = cubeColour(i);
    // Entries 250 and 252 are named by three cube colours each; the static colour is the entry's own.
    for (const StaticColour& s : staticColours) {
        palette.colours[s.index] = ColourEntry{s.blue, s.green, s.red, 0};
    }
    std::memcpy(palette.cubeTable, cubeToPalette, sizeof palette.cubeTable);
    return palette;
}

uint32_t squaredDistance(const ColourEntry& a, const ColourEntry& b) {
    const int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
    return static_cast<uint32_t>(dr * dr + dg * dg + db * db);
}

}  // namespace

ColourEntry cubeColour(int cubeIndex) {
    const int red = cubeIndex % 6, green = cubeIndex / 6 % 6, blue = cubeIndex / 36;
    return ColourEntry{static_cast<uint8_t>(51 * blue), static_cast<uint8_t>(51 * green),
                       static_cast<uint8_t>(51 * red), 0};
}

const HalftonePalette& windowsHalftonePalette() {
    static const HalftonePalette palette = makeWindowsPalette();
    return palette;
}

namespace {

// True when every cube colour that has a printed entry of its own finds exactly that colour there:
// the palette is laid out as the printed table expects, whatever its other entries hold.
bool matchesPrintedTable(const ColourEntry palette[256]) {
    for (int i = 0; i < 216; ++i) {
        const int entry = cubeToPalette[i];
        if (entry == 250 || entry == 252) continue;  // shared by three cube colours each
        if (squaredDistance(palette[entry], cubeColour(i)) != 0) return false;
    }
    return true;
}

}  // namespace

void buildCubeToPalette(const ColourEntry palette[256], uint8_t table[216]) {
    if (matchesPrintedTable(palette)) {
        std::memcpy(table, cubeToPalette, 216);
        return;
    }
    for (int i = 0; i < 216; ++i) {
        const ColourEntry wanted = cubeColour(i);
        int nearest = 0;
        uint32_t nearestDistance = squaredDistance(palette[0], wanted);
        for (int k = 1; k < 256; ++k) {
            const uint32_t d = squaredDistance(palette[k], wanted);
            if (d < nearestDistance) {
                nearest = k;
                nearestDistance = d;
            }
        }
        const int printed = cubeToPalette[i];
        table[i] = static_cast<uint8_t>(
            squaredDistance(palette[printed], wanted) == nearestDistance ? printed : nearest);
    }
}

HalftonePalette makeHalftonePalette(const ColourEntry platformColours[256]) {
    HalftonePalette palette{};
    for (int k = 0; k < 256; ++k) {
        palette.colours[k] = platformColours[k];
        palette.colours[k].reserved = 0;
    }
    buildCubeToPalette(palette.colours, palette.cubeTable);
    return palette;
}

void applyHalftonePalette(BitmapInfo& info, const HalftonePalette& palette) {
    for (int k = 0; k < 256; ++k) {
        info.colours[k] = palette.colours[k];
        info.colours[k].reserved = 0;
    }
    info.header.bitCount = 8;
    info.header.clrUsed = 0;
    info.header.clrImportant = 0;
}
