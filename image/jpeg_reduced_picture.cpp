#include "image/jpeg_reduced_picture.h"

#include <string>

#include "jpeg/jpeg_decoder.h"

namespace {

// Message boxes wait until the reduced road is known to show the picture (else the whole road
// shows them); a caption tells what the decode is doing, so it goes out as the decode sets it.
class HeldBoxes : public RecordingJpegMessages {
public:
    explicit HeldBoxes(JpegMessages* live) : live_(live) {}
    void setCaption(const std::string& text) override {
        if (live_ != nullptr) live_->setCaption(text);
    }

private:
    JpegMessages* live_;
};

}  // namespace

uint8_t jpegReductionFor(PictureSize picture, PictureSize fitted) {
    uint8_t reduction = 0;
    while (reduction < 3 && (picture.width >> (reduction + 1)) >= fitted.width &&
           (picture.height >> (reduction + 1)) >= fitted.height)
        ++reduction;
    return reduction;
}

bool loadReducedJpegPicture(const uint8_t* data, size_t size, uint8_t reduction, ShownPicture& picture) {
    if (reduction < 1 || reduction > 3) return false;
    HeldBoxes held(picture.jpegMessages());
    const uint32_t length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
    JpegSize whole;
    {
        JpegDecoder probe(held);
        if (!probe.Probe(data, length, whole)) return false;
    }
    // The probed size is whole MCUs, 8 or 16 pixels each way: the halvings divide it exactly.
    const JpegSize reduced = {whole.width >> reduction, whole.height >> reduction};
    if (reduced.width == 0 || reduced.height == 0 || rowPitch(reduced.width, 24) > kMaxPixelBytes / reduced.height)
        return false;
    BitmapInfo info;
    info.header.width = static_cast<int32_t>(reduced.width);
    info.header.height = static_cast<int32_t>(reduced.height);
    info.header.bitCount = 24;
    picture.dropBitmap();
    size_t pitch = 0;
    uint8_t* pixels = picture.makeBitmap(info, pitch);
    if (pixels == nullptr) return false;
    picture.bitmapInfo = info;
    picture.pictureWidth = reduced.width;
    picture.pictureHeight = reduced.height;
    JpegDecoder decoder(held);
    decoder.SetReduction(reduction);
    decoder.Decode(data, length, pixels + pitch * (reduced.height - 1), static_cast<int32_t>(pitch), reduced);
    if (decoder.reductionRefused()) return false;
    const JpegSize frame = decoder.frameSize();
    if (decoder.frameRead() && frame.width <= whole.width && frame.height <= whole.height) {
        const uint32_t round = (1u << reduction) - 1;
        picture.pictureWidth = (frame.width >> reduction) + ((frame.width & round) != 0 ? 1 : 0);
        picture.pictureHeight = (frame.height >> reduction) + ((frame.height & round) != 0 ? 1 : 0);
    }
    if (JpegMessages* messages = picture.jpegMessages())
        for (const std::string& text : held.messages) messages->showMessage(text);
    return true;
}
