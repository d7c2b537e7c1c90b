#include "image/shown_picture.h"

#include "image/bmp_writer.h"

size_t ShownPicture::pitch() const {
    return static_cast<size_t>(rowPitch(static_cast<uint32_t>(bitmapInfo.header.width), bitmapInfo.header.bitCount));
}

bool pictureFileBytes(const ShownPicture& picture, std::vector<uint8_t>& file) {
    file.clear();
    if (!picture.hasBitmap()) return false;
    return writePictureBmp(picture.bitmapInfo, picture.pictureWidth, picture.pictureHeight, picture.pixels.data(),
                           picture.pitch(), picture.bitmapHeight(), file);
}
