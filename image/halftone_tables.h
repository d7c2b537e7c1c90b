// Constant tables of the ordered dither to the halftone palette.
#pragma once
#include <cstdint>

// Thresholds 0..50, indexed [x mod 8][y mod 8]; y counts rows in memory order (0 = bottom row).
extern const uint8_t ditherMatrix[8][8];

// Quotient (0..5) and remainder (0..50) of a colour value divided by 51.
extern const uint8_t quotientBy51[256];
extern const uint8_t remainderBy51[256];

// Cube-index contributions of a level 0..5: 36 · level for blue, 6 · level for green.
// A level never exceeds 5: only 255 has quotient 5, and its remainder 0 never beats a threshold.
extern const uint8_t blueMultiple[6];
extern const uint8_t greenMultiple[6];

// Entry of the Windows halftone palette for each colour-cube index
// 36 · blueLevel + 6 · greenLevel + redLevel (levels 0..5 stand for 0, 51, ..., 255).
extern const uint8_t cubeToPalette[216];
