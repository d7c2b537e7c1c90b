// Bytes in memory as a ByteSource.
#include "collection.h"

#include <cstring>

uint32_t MemoryByteSource::read(void* buffer, uint32_t n) {
    size_t left = size_ - pos_;
    size_t count = n < left ? n : left;
    if (count > 0) {
        std::memcpy(buffer, data_ + pos_, count);
        pos_ += count;
    }
    return static_cast<uint32_t>(count);
}
