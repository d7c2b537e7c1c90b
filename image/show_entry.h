// `showEntry` without the window: a picture file to the loader its first two bytes name.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/picture_kind.h"
#include "image/bmp_picture.h"
#include "image/shown_picture.h"

class JpegMessages;

// Loads the picture file into `picture` by its kind, for a screen of `screenBitsPerPixel` bits.
// 1 when a picture is shown, 0 when none (a file not displayable leaves `picture` unchanged).
int showEntry(const uint8_t* data, size_t size, int screenBitsPerPixel, ShownPicture& picture,
              JpegMessages& messages, const HalftonePalette& halftone = windowsHalftonePalette());
