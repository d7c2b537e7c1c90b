// Probe and Decode as the viewer runs them: the picture is sized by Probe, zero-filled and
// bottom-up, and must never be written outside. Each input is decoded twice, as the viewer
// does and with the helper thread taking every piece of work as early as it may; the two
// pictures must be the same byte for byte. Then once more by the viewer's page road for an
// 8-bit screen (the 24-bit decode into the canvas, then the dither into a new 8-bit bitmap),
// which must show it at the same size. Last, the fitted page's road at 1/2, 1/4 or 1/8, as the
// viewer and with the eager helper, byte for byte the same. Pictures above 2 megapixels (1920 x 1088) are skipped
// so that a run spends its time decoding rather than allocating.
#include <cstdint>
#include <cstdlib>

#include "image/jpeg_picture.h"
#include "image/jpeg_reduced_picture.h"
#include "image/shown_picture.h"
#include "jpeg_helper_thread.h"
#include "jpeg_features.h"
#include "jpeg_picture_decode.h"

namespace {

class SilentMessages : public JpegMessages {
public:
    void showMessage(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

constexpr uint64_t kMostBytes = 2u * 1024 * 1024 * 3;

bool Same(const DecodedJpeg& a, const DecodedJpeg& b) {
    return a.pixels == b.pixels && a.complete == b.complete && a.frameRead == b.frameRead &&
           a.frameSize.width == b.frameSize.width && a.frameSize.height == b.frameSize.height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    JpegFeatures features;
    readJpegFeatures(data, size, features);
    SilentMessages messages;
    DecodedJpeg asViewer = DecodeJpegPicture(data, size, messages, kMostBytes);
    if (asViewer.pixels.empty()) return 0;
    // The shown area must lie inside the bitmap.
    if (asViewer.shownSize.width > asViewer.probedSize.width || asViewer.shownSize.height > asViewer.probedSize.height)
        std::abort();
    HelperThread::SetEager(true);
    DecodedJpeg eager = DecodeJpegPicture(data, size, messages, kMostBytes);
    HelperThread::SetEager(false);
    if (!Same(asViewer, eager)) std::abort();
    ShownPicture onEightBits(8);
    if (loadJpegPicture(data, size, onEightBits) != 1 || onEightBits.pictureWidth != asViewer.shownSize.width ||
        onEightBits.pictureHeight != asViewer.shownSize.height)
        std::abort();
    const uint8_t reduction = static_cast<uint8_t>(1 + size % 3);
    ShownPicture reduced(24), reducedEager(24);
    const bool loaded = loadReducedJpegPicture(data, size, reduction, reduced);
    HelperThread::SetEager(true);
    const bool loadedEager = loadReducedJpegPicture(data, size, reduction, reducedEager);
    HelperThread::SetEager(false);
    if (loaded != loadedEager || reduced.pixels != reducedEager.pixels) std::abort();
    return 0;
}
