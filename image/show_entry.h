// `showEntry`: a picture file to the loader its first two bytes name.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/picture_canvas.h"
#include "collection.h"

// Loads the picture file onto `canvas` by its kind (loadBmpPicture, loadJpegPicture).
// 1 when a picture is shown, 0 when none (a file not displayable leaves the canvas unchanged).
int showEntry(const uint8_t* data, size_t size, PictureCanvas& canvas);
