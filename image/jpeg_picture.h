// The JPEG road of the picture as shown: probe, decode into a zeroed 24-bit bitmap, and on an
// 8-bit screen dither it to the halftone palette.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/halftone_palette.h"
#include "image/shown_picture.h"

class JpegMessages;

// `loadJpegPicture` over the bytes of a JPEG file. 0 when the probe refuses the data (the picture
// is then unchanged) or no bitmap of the probed size can be made (width or height 0, or more than
// kMaxPixelBytes). Otherwise 1, whatever the decode did: rows it did not reach stay black.
// The bitmap has the probed size (whole MCUs); the shown size is the frame's, taken from the
// decoder when it read a frame header (never larger than the bitmap), else the probed size.
// On an 8-bit screen the bitmap becomes 8-bit with `halftone`'s colours and table.
int loadJpegPicture(const uint8_t* data, size_t size, int screenBitsPerPixel, ShownPicture& picture,
                    JpegMessages& messages, const HalftonePalette& halftone = windowsHalftonePalette());
