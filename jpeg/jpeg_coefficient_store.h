// Zero-filled coefficient storage for progressive pictures, 16 bits a coefficient while every
// value fits and 32 bits once one does not (Widen). A fresh large allocation reaches the
// program page by page, each 4 KiB page faulted in and cleared by the system on every
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

    // Room for `blocks` blocks of 64 zero coefficients, 32-bit when `wide` (or when every
    // store starts wide, see SetStartWide), else 16-bit; false, holding nothing, when the size
    // cannot be represented or memory runs out.
    bool Allocate(uint64_t blocks, bool wide = false);
    // Moves 16-bit storage into 32-bit storage of the same blocks, every value kept. True when
    // the storage is then 32-bit; false, the 16-bit storage kept as it was, when memory runs out.
    bool Widen();
    // Gives the storage back: kept as the spare when it is small enough, else freed.
    // `leftZero` says every block of the storage is zero again.
    void Release(bool leftZero = false);

    bool IsWide() const { return wide_; }
    int16_t* Narrow() const { return wide_ ? nullptr : static_cast<int16_t*>(data_); }
    int32_t* Wide() const { return wide_ ? static_cast<int32_t*>(data_) : nullptr; }
    size_t Bytes() const { return bytes_; }

    // Frees the spare, for callers that want the memory back at once.
    static void DropSpare();
    // For tests: every store from now on starts 32-bit, the road a widened store takes.
    static void SetStartWide(bool wide);
    // The most bytes one store has held since the last ResetLargest, for measurements.
    static size_t LargestBytes();
    static void ResetLargest();

private:
    void* data_ = nullptr;
    void* allocation_ = nullptr;
    size_t bytes_ = 0;
    uint64_t blocks_ = 0;
    bool wide_ = false;
};
