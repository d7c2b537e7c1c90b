// The JPEG road of the page: probe, decode into a zeroed 24-bit bitmap, and on an 8-bit screen
// dither it into a new 8-bit bitmap with the halftone palette.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/picture_canvas.h"

// `loadJpegPicture` over the bytes of a JPEG file onto `canvas`. 0 when the probe refuses the data
// (the canvas is then unchanged) or no bitmap of the probed size can be made (width or height 0,
// more than kMaxPixelBytes, or refused by the canvas; the previous bitmap is gone then).
// Otherwise the bitmap has the probed size (whole MCUs) and is decoded into, whatever the
// decode did: rows it did not reach stay black. The shown size is the frame's when the decoder
// read a frame header that fits the bitmap, else the probed size. On a screen other than 8 bits
// that is 1. On an 8-bit screen the halftone palette is taken and the picture dithered into a
// new 8-bit bitmap with its colours: 1; 0 when the palette cannot be made (the 24-bit picture
// stays as it is) or the 8-bit bitmap cannot be made (the 24-bit bitmap stays, while bitmapInfo
// already describes the 8-bit one).
int loadJpegPicture(const uint8_t* data, size_t size, PictureCanvas& canvas);
