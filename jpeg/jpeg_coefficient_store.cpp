#include "jpeg_coefficient_store.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

// The allocation starts with its capacity; the blocks follow at a 64-byte boundary of it.
struct Header {
    size_t capacity;  // bytes of blocks
};
constexpr size_t kHeaderBytes = 64;
static_assert(sizeof(Header) <= kHeaderBytes, "the header fits before the blocks");

std::atomic<void*> spare{nullptr};

size_t CapacityOf(void* allocation) { return static_cast<Header*>(allocation)->capacity; }

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
    if (reused != nullptr && CapacityOf(reused) >= bytes) {
        allocation_ = reused;
        std::memset(BlocksOf(reused), 0, bytes);
    } else {
        std::free(reused);
        // calloc takes fresh zero pages from the system without clearing them a second time.
        allocation_ = std::calloc(1, kHeaderBytes + bytes);
        if (allocation_ == nullptr) return false;
        static_cast<Header*>(allocation_)->capacity = bytes;
    }
    data_ = BlocksOf(allocation_);
    return true;
}

void CoefficientStore::Release() {
    if (allocation_ == nullptr) return;
    void* kept = CapacityOf(allocation_) <= kSpareLimit ? allocation_ : nullptr;
    if (kept == nullptr) std::free(allocation_);
    std::free(spare.exchange(kept));
    allocation_ = nullptr;
    data_ = nullptr;
}

void CoefficientStore::DropSpare() { std::free(spare.exchange(nullptr)); }
