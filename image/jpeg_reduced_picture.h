// A JPEG picture decoded at 1/2, 1/4 or 1/8 of its size for a page fitted to the screen: the
// decoder writes each pixel as the average of the area it covers, skipping most of the
// transform's work, and the fitted road finishes with the area average.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/area_average.h"
#include "image/shown_picture.h"

// The number of halvings (1 to 3) at which a picture of size `picture` is decoded to be shown
// at `fitted`: the most that leave it at least the fitted size both ways; 0 when even one
// halving would leave it smaller.
uint8_t jpegReductionFor(PictureSize picture, PictureSize fitted);

// Decodes the JPEG file onto `picture` (24 bits, not dithered) at 1 / 2^reduction of its size,
// as loadJpegPicture decodes it whole: rows the decode does not reach stay black; the shown
// size is the frame's divided by 2^reduction, rounded up. False, with the decoder's message
// boxes held back, when the probe refuses the data, no bitmap can be made, or the decoder does
// not decode the frame's scans reduced (the whole road then shows the file); true otherwise,
// its message boxes then passed on to the picture's. Captions go to the picture's as the
// decoder sets them, as on the whole road (a refusal comes before any).
bool loadReducedJpegPicture(const uint8_t* data, size_t size, uint8_t reduction, ShownPicture& picture);
