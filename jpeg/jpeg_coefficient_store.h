// Zero-filled coefficient storage for progressive pictures. A fresh large allocation reaches
// the program page by page, each 4 KiB page faulted in and cleared by the system on every
// picture, which costs more than decoding many scans. So the storage of the last picture is
// kept as one spare (up to kSpareLimit bytes) and cleared for the next, which is several times
// faster; a decoder that clears the blocks as it finishes with them spares even that. One
// decoder owns the storage while it decodes; the spare is shared safely.
#pragma once
#include <cstddef>
#include <cstdint>

class CoefficientStore {
public:
    static constexpr size_t kSpareLimit = size_t(128) << 20;

    CoefficientStore() = default;
    ~CoefficientStore() { Release(); }
    CoefficientStore(const CoefficientStore&) = delete;
    CoefficientStore& operator=(const CoefficientStore&) = delete;

    // Room for `blocks` blocks of 64 zero coefficients; false, holding nothing, when the size
    // cannot be represented or memory runs out.
    bool Allocate(uint64_t blocks);
    // Gives the storage back: kept as the spare when it is small enough, else freed.
    // `leftZero` says every block of the last Allocate is zero again.
    void Release(bool leftZero = false);
    int32_t* Data() const { return data_; }

    // Frees the spare, for callers that want the memory back at once.
    static void DropSpare();

private:
    int32_t* data_ = nullptr;
    void* allocation_ = nullptr;
};
