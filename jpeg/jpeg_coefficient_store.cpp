#include "jpeg_coefficient_store.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

// The allocation starts with its capacity; the blocks follow at a 64-byte boundary of it.
struct Header {
    size_t capacity;    // bytes of blocks
    size_t zeroPrefix;  // the blocks' first bytes known to be zero while the storage is spare
};
constexpr size_t kHeaderBytes = 64;
static_assert(sizeof(Header) <= kHeaderBytes, "the header fits before the blocks");

std::atomic<void*> spare{nullptr};
std::atomic<bool> startWide{false};
std::atomic<size_t> largest{0};

Header& HeaderOf(void* allocation) { return *static_cast<Header*>(allocation); }

void* BlocksOf(void* allocation) { return static_cast<unsigned char*>(allocation) + kHeaderBytes; }

// Bytes of `blocks` blocks of `size`-byte coefficients, or false when they cannot be held.
bool BlockBytes(uint64_t blocks, size_t size, size_t& bytes) {
    const uint64_t blockBytes = 64 * uint64_t(size);
    if (blocks > (SIZE_MAX - kHeaderBytes) / blockBytes) return false;
    bytes = static_cast<size_t>(blocks * blockBytes);
    return true;
}

void NoteLargest(size_t bytes) {
    size_t seen = largest.load(std::memory_order_relaxed);
    while (bytes > seen && !largest.compare_exchange_weak(seen, bytes, std::memory_order_relaxed)) {
    }
}

}  // namespace

bool CoefficientStore::Allocate(uint64_t blocks, bool wide) {
    Release();
    wide = wide || startWide.load(std::memory_order_relaxed);
    size_t bytes;
    if (!BlockBytes(blocks, wide ? sizeof(int32_t) : sizeof(int16_t), bytes)) return false;

    void* reused = spare.exchange(nullptr);
    if (reused != nullptr && HeaderOf(reused).capacity >= bytes) {
        allocation_ = reused;
        Header& header = HeaderOf(reused);
        if (header.zeroPrefix < bytes) {
            unsigned char* start = static_cast<unsigned char*>(BlocksOf(reused));
            std::memset(start + header.zeroPrefix, 0, bytes - header.zeroPrefix);
            header.zeroPrefix = bytes;
        }
    } else {
        std::free(reused);
        // calloc takes fresh zero pages from the system without clearing them a second time.
        allocation_ = std::calloc(1, kHeaderBytes + bytes);
        if (allocation_ == nullptr) return false;
        HeaderOf(allocation_) = {bytes, bytes};
    }
    data_ = BlocksOf(allocation_);
    bytes_ = bytes;
    blocks_ = blocks;
    wide_ = wide;
    NoteLargest(bytes);
    return true;
}

bool CoefficientStore::Widen() {
    if (allocation_ == nullptr || wide_) return allocation_ != nullptr;
    size_t bytes;
    if (!BlockBytes(blocks_, sizeof(int32_t), bytes)) return false;
    void* widened = std::malloc(kHeaderBytes + bytes);
    if (widened == nullptr) return false;
    // Every byte is written below, so all of them are zero once the decoder has cleared them.
    HeaderOf(widened) = {bytes, 0};
    const int16_t* from = static_cast<const int16_t*>(data_);
    int32_t* to = static_cast<int32_t*>(BlocksOf(widened));
    const size_t count = bytes / sizeof(int32_t);
    for (size_t i = 0; i < count; ++i) to[i] = from[i];
    NoteLargest(bytes_ + bytes);  // both are held while the values move
    std::free(allocation_);
    allocation_ = widened;
    data_ = to;
    bytes_ = bytes;
    wide_ = true;
    return true;
}

void CoefficientStore::Release(bool leftZero) {
    if (allocation_ == nullptr) return;
    // Beyond the storage's bytes nothing was written; within them, only a caller that cleared
    // them vouches for zero.
    Header& header = HeaderOf(allocation_);
    if (!leftZero) header.zeroPrefix = 0;
    else if (header.zeroPrefix < bytes_) header.zeroPrefix = bytes_;
    void* kept = header.capacity <= kSpareLimit ? allocation_ : nullptr;
    if (kept == nullptr) std::free(allocation_);
    std::free(spare.exchange(kept));
    allocation_ = nullptr;
    data_ = nullptr;
    bytes_ = 0;
    blocks_ = 0;
    wide_ = false;
}

void CoefficientStore::DropSpare() { std::free(spare.exchange(nullptr)); }

void CoefficientStore::SetStartWide(bool wide) { startWide.store(wide); }

size_t CoefficientStore::LargestBytes() { return largest.load(); }

void CoefficientStore::ResetLargest() { largest.store(0); }
