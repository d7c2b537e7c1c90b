// Probe and Decode as the viewer runs them: the picture is sized by Probe, zero-filled and
// bottom-up, and must never be written outside. Each input is decoded twice, as the viewer
// does and with the helper thread taking every piece of work as early as it may; the two
// pictures must be the same byte for byte. Pictures above 2 megapixels (1920 x 1088) are
// skipped so that a run spends its time decoding rather than allocating.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "jpeg_decoder.h"
#include "jpeg_helper_thread.h"

namespace {

class SilentMessages : public JpegMessages {
public:
    void showMessage(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

struct Decoded {
    std::vector<uint8_t> bitmap;
    int result = 0;
    bool frameRead = false;
    uint32_t width = 0, height = 0;
    bool operator==(const Decoded& o) const {
        return bitmap == o.bitmap && result == o.result && frameRead == o.frameRead && width == o.width &&
               height == o.height;
    }
};

Decoded decode(const uint8_t* data, uint32_t size, uint32_t width, uint32_t height) {
    SilentMessages messages;
    Decoded out;
    out.bitmap.assign(size_t(width) * height * 3, 0);
    int32_t pitch = static_cast<int32_t>(width * 3);
    JpegDecoder decoder(messages);
    out.result = decoder.Decode(data, size, out.bitmap.data() + size_t(height - 1) * pitch, pitch, width, height);
    out.frameRead = decoder.frameRead();
    out.width = decoder.width;
    out.height = decoder.height;
    // The shown area must lie inside the bitmap.
    if (out.frameRead && (out.width > width || out.height > height)) std::abort();
    return out;
}

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
    Decoded asViewer = decode(data, static_cast<uint32_t>(size), width, height);
    HelperThread::SetEager(true);
    Decoded eager = decode(data, static_cast<uint32_t>(size), width, height);
    HelperThread::SetEager(false);
    if (!(eager == asViewer)) std::abort();
    return 0;
}
