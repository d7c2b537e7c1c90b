// Probe and Decode as the viewer runs them: the picture is sized by Probe, zero-filled and
// bottom-up, and must never be written outside. Pictures above 2 megapixels (1920 x 1088) are skipped
// so that a run spends its time decoding rather than allocating.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "jpeg_decoder.h"

namespace {

class SilentMessages : public JpegMessages {
public:
    void showMessage(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    SilentMessages messages;
    uint32_t width, height;
    {
        JpegDecoder probe(messages);
        if (!probe.Probe(data, static_cast<uint32_t>(size))) return 0;
        width = probe.width;
        height = probe.height;
    }
    if (width == 0 || height == 0 || uint64_t(width) * height > 2u * 1024 * 1024) return 0;
    std::vector<uint8_t> bitmap(size_t(width) * height * 3, 0);
    int32_t pitch = static_cast<int32_t>(width * 3);
    JpegDecoder decoder(messages);
    decoder.Decode(data, static_cast<uint32_t>(size), bitmap.data() + size_t(height - 1) * pitch, pitch, width,
                   height);
    // The shown area must lie inside the bitmap.
    if (decoder.frameRead() && (decoder.width > width || decoder.height > height)) std::abort();
    return 0;
}
