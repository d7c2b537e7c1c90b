#include "image/show_entry.h"

#include "image/jpeg_picture.h"

int showEntry(const uint8_t* data, size_t size, int screenBitsPerPixel, ShownPicture& picture,
              JpegMessages& messages, const HalftonePalette& halftone) {
    switch (pictureKind(data, size)) {
    case PictureKind::Bmp:
        return loadBmpPicture(data, size, screenBitsPerPixel, picture, halftone);
    case PictureKind::Jpeg:
        return loadJpegPicture(data, size, screenBitsPerPixel, picture, messages, halftone);
    case PictureKind::NotDisplayable:
        break;
    }
    return 0;
}
