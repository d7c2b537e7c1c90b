#include "viewer_decode.h"

#include <algorithm>

#include "jpeg_decoder.h"
#include "sha256.h"

const uint8_t* ViewerPicture::pixel(uint32_t x, uint32_t y) const {
    return bitmap.data() + size_t(bitmapHeight - 1 - y) * bitmapWidth * 3 + 3 * size_t(x);
}

std::string ViewerPicture::shownHash() const {
    Sha256 hash;
    for (uint32_t y = shownHeight; y-- > 0;) hash.update(pixel(0, y), size_t(shownWidth) * 3);
    return hash.hexDigest();
}

bool ViewerPicture::anyWritten() const {
    return std::any_of(bitmap.begin(), bitmap.end(), [](uint8_t b) { return b != 0; });
}

ViewerPicture decodeAsViewer(const std::vector<uint8_t>& file) {
    ViewerPicture picture;
    if (file.size() < 2 || file[0] != 0xFF || file[1] != 0xD8) return picture;
    picture.routed = true;
    RecordingJpegMessages messages;
    {
        JpegDecoder probe(messages);
        picture.probed = probe.Probe(file.data(), static_cast<uint32_t>(file.size())) == 1;
        picture.bitmapWidth = probe.width;
        picture.bitmapHeight = probe.height;
    }
    if (picture.probed && picture.bitmapWidth > 0 && picture.bitmapHeight > 0) {
        picture.bitmap.assign(size_t(picture.bitmapWidth) * picture.bitmapHeight * 3, 0);
        int32_t pitch = static_cast<int32_t>(picture.bitmapWidth * 3);
        uint8_t* top = picture.bitmap.data() + size_t(picture.bitmapHeight - 1) * pitch;
        JpegDecoder decoder(messages);
        picture.decodeResult = decoder.Decode(file.data(), static_cast<uint32_t>(file.size()), top, pitch,
                                              picture.bitmapWidth, picture.bitmapHeight);
        picture.work = decoder.workDone();
        picture.shownWidth = decoder.frameRead() ? decoder.width : picture.bitmapWidth;
        picture.shownHeight = decoder.frameRead() ? decoder.height : picture.bitmapHeight;
    } else if (picture.probed) {
        picture.probed = false;  // an empty bitmap cannot be made
    }
    picture.messages = messages.messages;
    picture.captions = messages.captions;
    return picture;
}
