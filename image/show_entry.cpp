#include "image/show_entry.h"

#include "image/bmp_picture.h"
#include "image/jpeg_picture.h"

int showEntry(const uint8_t* data, size_t size, PictureCanvas& canvas) {
    switch (pictureKind(data, size)) {
    case PictureKind::Bmp:
        return loadBmpPicture(data, size, canvas);
    case PictureKind::Jpeg:
        return loadJpegPicture(data, size, canvas);
    case PictureKind::NotDisplayable:
        break;
    }
    return 0;
}
