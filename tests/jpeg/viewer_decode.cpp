#include "viewer_decode.h"

#include <algorithm>
#include <utility>

#include "jpeg_picture_decode.h"
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
    if (file.size() < 2 || file[0] != 0xFF || file[1] != 0xD8) return ViewerPicture();
    RecordingJpegMessages messages;
    DecodedJpeg decoded = DecodeJpegPicture(file.data(), file.size(), messages, UINT64_MAX);
    return viewerPicture(std::move(decoded), messages);
}

ViewerPicture viewerPicture(DecodedJpeg&& decoded, const RecordingJpegMessages& messages) {
    ViewerPicture picture;
    picture.routed = true;
    picture.probed = decoded.probed && !decoded.pixels.empty();  // an empty bitmap cannot be made
    picture.bitmapWidth = decoded.probedSize.width;
    picture.bitmapHeight = decoded.probedSize.height;
    picture.decodeResult = decoded.complete ? 1 : 0;
    picture.shownWidth = decoded.shownSize.width;
    picture.shownHeight = decoded.shownSize.height;
    picture.work = decoded.work;
    picture.bitmap = std::move(decoded.pixels);
    picture.messages = messages.messages;
    picture.captions = messages.captions;
    return picture;
}
