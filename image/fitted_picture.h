// The page road within bounds: a picture larger than the screen can hold is shown reduced to
// fit, aspect kept, by the area average of its 24-bit pixels; on an 8-bit screen the reduced
// picture is then dithered to the halftone palette. A picture that fits takes the page road
// unchanged.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/area_average.h"
#include "image/picture_canvas.h"

// The size the page road shows the picture file at (a JPEG's frame, a BMP's header), without
// decoding it; false when the road would refuse it or it names no size.
bool shownSizeOf(const uint8_t* data, size_t size, int screenBitsPerPixel, PictureSize& shown);

// `showEntry` of the picture file onto `canvas`, reduced as fittedSize(picture, bounds) gives
// when it does not fit (bounds of 0: no bound). The whole picture is read through the page road
// at 24 bits first, its messages going to the canvas's. Sets canvas.reduced. 1 when a picture is
// shown, 0 when none, as showEntry; a file whose whole picture the road does not show in full
// (a short or failed read) takes the page road unreduced, as it always has.
int showEntryWithin(const uint8_t* data, size_t size, PictureCanvas& canvas, PictureSize bounds);
