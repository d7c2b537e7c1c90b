// The BMP road of the picture as shown: the headers, then the pixels by run-length expansion,
// by the dither to the halftone palette, or as stored.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/halftone_palette.h"
#include "image/shown_picture.h"

// `loadBmpPicture` over the bytes of a BMP file, for a screen of `screenBitsPerPixel` bits.
// 1 when the picture was made and filled, else 0; after a refusal of the headers the picture
// is unchanged, after a later failure it holds what was made (a partly filled bitmap after a
// short pixel read, as on the screen). On an 8-bit screen a 24-bit picture is dithered with
// `halftone`'s table and takes its colours.
int loadBmpPicture(const uint8_t* data, size_t size, int screenBitsPerPixel, ShownPicture& picture,
                   const HalftonePalette& halftone = windowsHalftonePalette());
