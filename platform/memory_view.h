// A read-only file over bytes that someone else owns: it neither copies nor frees them.
#pragma once
#include <cstddef>
#include <cstdint>

class MemoryView {
public:
    MemoryView(const uint8_t* data, size_t size) : data_(data), size_(data != nullptr ? size : 0) {}

    // Reads up to n bytes from the current position; returns how many were delivered.
    uint32_t read(void* buffer, uint32_t n);
    // Moves to an offset from the start; false (position unchanged) beyond the end.
    bool seek(uint64_t offset);
    uint64_t position() const { return position_; }
    uint64_t length() const { return size_; }
    const uint8_t* data() const { return data_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};
