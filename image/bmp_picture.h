// The BMP road of the page: the headers, then the pixels by run-length expansion, by the dither
// to the halftone palette, or as stored.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/picture_canvas.h"

// `loadBmpPicture` over the bytes of a BMP file onto `canvas`. 1 when the picture was made and
// filled, else 0. After a refusal of the headers the canvas is unchanged. Otherwise the header,
// the size shown and (when the file has one) the colour table are the file's and the previous
// bitmap goes; then the palette the picture is shown through: the halftone palette on the
// dither road (24 bits on an 8-bit screen: its colours become the colour table), the file's
// colour table on the plain road, none changed on the run-length road. When the palette or the
// bitmap cannot be made there is no bitmap; after a short pixel read the partly filled bitmap
// stays, as on the screen.
int loadBmpPicture(const uint8_t* data, size_t size, PictureCanvas& canvas);
