// Minimal SHA-256 for comparing decoded pictures with recorded hashes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class Sha256 {
public:
    Sha256();
    void update(const void* data, size_t length);
    std::string hexDigest();  // finishes the hash; call once

private:
    void block(const uint8_t* p);
    uint32_t state_[8];
    uint8_t buffer_[64];
    size_t buffered_ = 0;
    uint64_t total_ = 0;
};

std::string sha256Hex(const void* data, size_t length);
