#include "image/picture_kind.h"

PictureKind pictureKind(const uint8_t* data, size_t size) {
    if (size < 2) return PictureKind::NotDisplayable;
    if (data[0] == 0x42 && data[1] == 0x4D) return PictureKind::Bmp;
    if (data[0] == 0xFF && data[1] == 0xD8) return PictureKind::Jpeg;
    return PictureKind::NotDisplayable;
}
