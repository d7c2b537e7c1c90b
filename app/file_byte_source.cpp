// Buffered reading for the collection reader.
#include "file_byte_source.h"

#include <cstring>

namespace {
const uint32_t kBufferSize = 64 * 1024;
}  // namespace

FileByteSource::FileByteSource(File& file) : file_(file), length_(file.length()) {}

FileByteSource::~FileByteSource() {
    if (buffered() != 0) file_.seek(file_.position() - buffered());
}

uint32_t FileByteSource::read(void* buffer, uint32_t n) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < n) {
        if (buffered() == 0) {
            if (n - done >= kBufferSize) return done + file_.read(out + done, n - done);  // large reads go straight
            buffer_.resize(kBufferSize);
            buffer_.resize(file_.read(buffer_.data(), kBufferSize));
            next_ = 0;
            if (buffer_.empty()) break;
        }
        uint32_t take = buffered() < n - done ? buffered() : n - done;
        std::memcpy(out + done, buffer_.data() + next_, take);
        next_ += take;
        done += take;
    }
    return done;
}

uint64_t FileByteSource::remaining() const {
    uint64_t position = file_.position() - buffered();
    return position < length_ ? length_ - position : 0;
}
