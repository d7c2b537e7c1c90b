// An open file as the collection reader's byte source. The reader takes the texts one byte
// per call; reads go through a buffer so that a long text (or a damaged file without its zero
// bytes) costs one system call per 64 KiB, not one per byte. When the source goes away the
// file is put back where the reader stopped.
#pragma once
#include <cstdint>
#include <vector>

#include "collection.h"
#include "file.h"

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(File& file);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    uint32_t read(void* buffer, uint32_t n) override;
    uint64_t remaining() const override;

private:
    uint32_t buffered() const { return static_cast<uint32_t>(buffer_.size() - next_); }

    File& file_;
    uint64_t length_;
    std::vector<uint8_t> buffer_;  // bytes read ahead from the file
    size_t next_ = 0;              // the next of them to hand out
};
