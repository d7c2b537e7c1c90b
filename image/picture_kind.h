// Which loader a picture file goes to, as the page display decides it from the first two bytes.
#pragma once
#include <cstddef>
#include <cstdint>

enum class PictureKind { Bmp, Jpeg, NotDisplayable };

// "BM" -> Bmp, 0xFF 0xD8 -> Jpeg; anything else, and fewer than two bytes, is not displayable.
PictureKind pictureKind(const uint8_t* data, size_t size);
