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

Header& HeaderOf(void* allocation) { return *static_cast<Header*>(allocation); }

int32_t* BlocksOf(void* allocation) {
    return reinterpret_cast<int32_t*>(static_cast<unsigned char*>(allocation) + kHeaderBytes);
}

}  // namespace

bool CoefficientStore::Allocate(uint64_t blocks) {
    Release();
    const uint64_t blockBytes = 64 * sizeof(int32_t);
    if (blocks > (SIZE_MAX - kHeaderBytes) / blockBytes) return false;
    size_t bytes = static_cast<size_t>(blocks * blockBytes);

    void* reused = spare.exchange(nullptr);
    if (reused != nullptr && HeaderOf(reused).capacity >= bytes) {
        allocation_ = reused;
        Header& header = HeaderOf(reused);
        if (header.zeroPrefix < bytes) {
            unsigned char* start = reinterpret_cast<unsigned char*>(BlocksOf(reused));
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
    return true;
}

void CoefficientStore::Release(bool leftZero) {
    if (allocation_ == nullptr) return;
    // Beyond the last Allocate's bytes nothing was written; within them, only a caller that
    // cleared them vouches for zero.
    Header& header = HeaderOf(allocation_);
    if (!leftZero) header.zeroPrefix = 0;
    void* kept = header.capacity <= kSpareLimit ? allocation_ : nullptr;
    if (kept == nullptr) std::free(allocation_);
    std::free(spare.exchange(kept));
    allocation_ = nullptr;
    data_ = nullptr;
}

void CoefficientStore::DropSpare() { std::free(spare.exchange(nullptr)); }
