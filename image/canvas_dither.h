// The last step of the 24-bit roads on an 8-bit screen: the picture dithered to the halftone
// palette into a new 8-bit bitmap of the canvas.
#pragma once
#include <cstdint>

#include "image/picture_canvas.h"

// Dithers the 24-bit picture at `trueColour` (the canvas's bitmap, as bitmapInfo describes it)
// into a new 8-bit bitmap that takes its place, shown through the halftone palette. False when
// the palette cannot be made (the 24-bit picture stays as it is) or the 8-bit bitmap cannot be
// made (the 24-bit bitmap stays, while bitmapInfo already describes the 8-bit one).
bool ditherCanvasToHalftone(PictureCanvas& canvas, const uint8_t* trueColour);
