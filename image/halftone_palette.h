// The 256-colour halftone palette of an 8-bit screen and the cube-to-palette table that goes with it.
#pragma once
#include <cstdint>

#include "image/bitmap_info.h"

struct HalftonePalette {
    ColourEntry colours[256];   // as the colour table of a dithered bitmap: blue, green, red, 0
    uint8_t cubeTable[216];     // palette entry of each colour-cube index (see `cubeToPalette`)
};

// The palette Windows gives an 8-bit screen, as far as the program relies on it: the 20 static
// colours at entries 0-9 and 246-255, and at every other entry that `cubeToPalette` names the
// colour-cube colour it stands for. Entries no cube colour uses are left black. Its table is
// `cubeToPalette` itself.
const HalftonePalette& windowsHalftonePalette();

// Maps each colour-cube colour to an entry of `palette`. A palette laid out as `cubeToPalette`
// expects (each cube colour with an entry of its own found exactly there) gets the printed table
// unchanged. Otherwise, for a platform whose halftone palette differs (Wine's has an 8 x 8 x 4
// cube), each cube colour keeps its printed entry when the colour there is as near to it as any
// entry's, and else takes the lowest entry of least squared RGB distance.
void buildCubeToPalette(const ColourEntry palette[256], uint8_t table[216]);

// A platform palette of 256 entries with its table.
HalftonePalette makeHalftonePalette(const ColourEntry platformColours[256]);

// Colour of cube index i = 36 · blueLevel + 6 · greenLevel + redLevel (levels 0..5 -> 0..255).
ColourEntry cubeColour(int cubeIndex);

// Makes `info` describe an 8-bit bitmap of halftone indexes: the palette's 256 colours as its
// colour table, 8 bits per pixel, and colours used and important 0 (all 256 entries count).
void applyHalftonePalette(BitmapInfo& info, const HalftonePalette& palette);
