// The input cursor and the entropy-coded bit reader of one decode.
// Every read stays inside the input: bytes at or past the end read as 0, and the position
// never moves further than one byte past the end, so "beyond the data" stays detectable.
#pragma once
#include <cstddef>
#include <cstdint>

struct HuffmanTable;

class JpegInput {
public:
    void Reset(const uint8_t* data, size_t length);

    size_t pos = 0;  // read position, 0 .. end + 1
    size_t end = 0;  // input length

    bool Beyond() const { return pos > end; }
    uint8_t At(size_t p) const { return p < end ? data_[p] : 0; }
    uint8_t Peek() const { return At(pos); }
    void SetPos(size_t p) { pos = p > end ? end + 1 : p; }
    void Advance(size_t n) { SetPos(n > end + 1 - pos ? end + 1 : pos + n); }
    uint8_t ReadU8();
    uint32_t ReadU16();  // big-endian

    // Bit reader state: bits taken from the top of bitBuffer.
    uint8_t bitsLeft = 0;
    uint8_t bitBuffer = 0;

    bool ReadBit(int& bit);                           // the bit, or false at a marker or the end
    int ReadBitOrMarker() {                           // the bit, or -1 at a marker or the end
        if (bitsLeft == 0) return ReadBitOrMarkerFromNextByte();
        int bit = bitBuffer >> 7;
        bitBuffer = static_cast<uint8_t>(bitBuffer << 1);
        --bitsLeft;
        return bit;
    }
    bool ReceiveBits(int n, int32_t& value);          // n bits (n <= 16), or false at a marker or the end
    bool DecodeSymbol(const HuffmanTable* table, int& symbol);  // the symbol, or false

    // A fast-path bit buffer kept from one MCU to the next (see FastBits::Hold); while `active`,
    // pos and the bit reader fields above are behind and SettleHeldBits brings them up to date.
    struct HeldBits {
        size_t p = 0, limit = 0;
        uintptr_t acc = 0;
        int count = 0, padBits = 0;
        bool active = false;
    };
    HeldBits held;

    // The block decoders' fast path reads the entropy-coded bytes directly, up to MarkerLimit():
    // the position of the first 0xFF at or after pos that is not followed by 0x00, or end.
    const uint8_t* Data() const { return data_; }
    size_t MarkerLimit() { return pos >= limitFrom_ && pos <= limitAt_ ? limitAt_ : FindMarkerLimit(); }
    // Takes MarkerLimit() for positions from..at as found by a cursor on the same data, so
    // that it is not searched for again; ignored unless from <= at <= end.
    void AdoptMarkerLimit(size_t from, size_t at) {
        if (from > at || at > end) return;
        limitFrom_ = from;
        limitAt_ = at;
    }

private:
    int ReadBitOrMarkerFromNextByte();
    size_t FindMarkerLimit();
    bool PeekWide(uint32_t& bits, int& count) const;  // the next bitsLeft + 16 bits, when no 0xFF is near
    void ConsumeWide(int n);
    bool LoadByte();  // next entropy byte into bitBuffer; false at a marker or the end
    const uint8_t* data_ = nullptr;
    size_t limitFrom_ = 1, limitAt_ = 0;  // MarkerLimit() holds for every pos in [limitFrom_, limitAt_]
};

// JPEG EXTEND: an n-bit magnitude field (0 <= v < 2^n, 1 <= n <= 16) to a signed value:
// below 2^(n-1) it is v - 2^n + 1. Without a branch, since the sign of coded values is random.
inline int32_t Extend(int32_t v, int n) {
    int32_t low = (v >> (n - 1)) - 1;  // -1 when the top bit is clear, else 0
    return v + (low & (1 - (int32_t(1) << n)));
}
