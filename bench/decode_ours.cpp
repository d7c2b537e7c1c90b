#include <string>

#include "bench_decoders.h"
#include "jpeg_decoder.h"
#include "jpeg_helper_thread.h"

namespace {

class QuietMessages : public JpegMessages {
public:
    void showMessage(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

}  // namespace

uint64_t decodeOurs(const std::vector<uint8_t>& file, std::vector<uint8_t>& output) {
    QuietMessages messages;
    uint32_t length = static_cast<uint32_t>(file.size());
    JpegSize bitmap;
    JpegDecoder probe(messages);
    if (!probe.Probe(file.data(), length, bitmap)) return 0;
    size_t pitch = size_t(bitmap.width) * 3;
    if (output.size() < pitch * bitmap.height) output.resize(pitch * bitmap.height);
    JpegDecoder decoder(messages);
    uint8_t* lastRow = output.data() + pitch * (bitmap.height - 1);
    if (!decoder.Decode(file.data(), length, lastRow, static_cast<int32_t>(pitch), bitmap)) return 0;
    return uint64_t(decoder.frameSize().width) * decoder.frameSize().height;
}

uint64_t decodeOursOneThread(const std::vector<uint8_t>& file, std::vector<uint8_t>& output) {
    HelperThread::SetEnabled(false);
    uint64_t pixels = decodeOurs(file, output);
    HelperThread::SetEnabled(true);
    return pixels;
}
