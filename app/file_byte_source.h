// An open file as the collection reader's byte source.
#pragma once
#include "collection.h"
#include "file.h"

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(File& file) : file_(file) {}
    uint32_t read(void* buffer, uint32_t n) override { return file_.read(buffer, n); }
    uint64_t remaining() const override;

private:
    File& file_;
};
