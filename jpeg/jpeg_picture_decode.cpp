#include "jpeg_picture_decode.h"

#include <new>

DecodedJpeg DecodeJpegPicture(const uint8_t* data, size_t size, JpegMessages& messages, uint64_t maxBytes) {
    DecodedJpeg out;
    // The decoder takes a 32-bit length, as the 32-bit program's memory file gives it.
    const uint32_t length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
    {
        JpegDecoder probe(messages);
        if (!probe.Probe(data, length, out.probedSize)) {
            out.probedSize = probe.frameSize();
            return out;
        }
    }
    out.probed = true;
    const JpegSize bitmap = out.probedSize;
    const uint64_t bytes = uint64_t(bitmap.width) * bitmap.height * 3;
    if (bitmap.width == 0 || bitmap.height == 0 || bytes > maxBytes) return out;
    try {
        out.pixels.assign(static_cast<size_t>(bytes), 0);
    } catch (const std::bad_alloc&) {
        return out;
    }
    const int32_t pitch = static_cast<int32_t>(bitmap.width * 3);
    JpegDecoder decoder(messages);
    out.complete = decoder.Decode(data, length, out.pixels.data() + size_t(bitmap.height - 1) * pitch, pitch, bitmap);
    out.frameRead = decoder.frameRead();
    out.frameSize = decoder.frameSize();
    out.shownSize = out.frameRead ? out.frameSize : bitmap;
    out.work = decoder.workDone();
    return out;
}
