// Reading and seeking in borrowed bytes.
#include "memory_view.h"

#include <cstring>

uint32_t MemoryView::read(void* buffer, uint32_t n) {
    size_t left = size_ - position_;
    uint32_t count = left < n ? static_cast<uint32_t>(left) : n;
    if (count != 0) std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    return count;
}

bool MemoryView::seek(uint64_t offset) {
    if (offset > size_) return false;
    position_ = static_cast<size_t>(offset);
    return true;
}
