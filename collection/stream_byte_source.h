// A file opened for reading as a ByteSource, from a given position to its end.
#pragma once
#include "collection.h"

#include <fstream>
#include <string>

class StreamByteSource : public ByteSource {
public:
    // `path` is UTF-8 (converted to the system's wide path on Windows).
    explicit StreamByteSource(const std::string& path);
    bool isOpen() const { return open_; }
    uint64_t size() const { return size_; }
    // Moves to `offset` (at most the file's size); false when that fails.
    bool seek(uint64_t offset);
    uint32_t read(void* buffer, uint32_t n) override;
    uint64_t remaining() const override { return size_ - pos_; }

private:
    std::ifstream file_;
    bool open_ = false;
    uint64_t size_ = 0;
    uint64_t pos_ = 0;
};

// Opens `path` (UTF-8) for binary reading or writing.
std::ifstream openInputFile(const std::string& path);
std::ofstream openOutputFile(const std::string& path);
