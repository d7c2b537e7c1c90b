// Bit positions in 64-bit masks, for skipping runs of zero coefficients in refinement scans.
#pragma once
#include <cstdint>

// Position of the lowest set bit of a non-zero mask, in 32-bit halves where words are 32 bits.
inline int LowestSetBit(uint64_t mask) {
#if defined(__x86_64__)
    return __builtin_ctzll(mask);
#else
    uint32_t low = static_cast<uint32_t>(mask);
    return low != 0 ? __builtin_ctz(low) : 32 + __builtin_ctz(static_cast<uint32_t>(mask >> 32));
#endif
}

// kBitInByte.at[byte][n]: the place of the byte's (n + 1)-th set bit, 8 when it has n or fewer.
struct BitInByteTable {
    uint8_t at[256][8];
};
extern const BitInByteTable kBitInByte;

// The set bits of one word, selected by rank again and again: the running sums of set bits
// per byte are counted once, without branches on the data. Bit deposit would select in one
// instruction, but some processors run it in microcode.
template <class Word>
class RankedWord {
public:
    RankedWord() = default;
    explicit RankedWord(Word word) : word_(word) {
        Word c = word - ((word >> 1) & (kOnes * 0x55));
        c = (c & (kOnes * 0x33)) + ((c >> 2) & (kOnes * 0x33));
        c = (c + (c >> 4)) & (kOnes * 0x0F);
        upTo_ = c * kOnes;  // byte i: set bits in bytes 0 to i
        count_ = static_cast<unsigned>(upTo_ >> (8 * (kBytes - 1)));
    }
    unsigned Count() const { return count_; }

    // The place of the (n + 1)-th set bit (n < 128), the word's width when it has n or fewer:
    // the byte where the running sum passes n, then the bit within that byte.
    unsigned Select(unsigned n) const {
        // Bytes whose running sum is at most n lie before the one that holds the bit; the
        // sums grow from byte to byte, so the first byte past n is the lowest marked here.
        const Word past = ~((Word(n) * kOnes | kHighs) - upTo_) & kHighs;
        if (past == 0) return 8 * kBytes;
        const unsigned shift = static_cast<unsigned>(kBytes == 8 ? __builtin_ctzll(uint64_t(past))
                                                                 : __builtin_ctz(static_cast<uint32_t>(past))) & ~7u;
        const unsigned skipped = static_cast<unsigned>(((upTo_ << 8) >> shift) & 0xFF);
        return shift + kBitInByte.at[(word_ >> shift) & 0xFF][(n - skipped) & 7];
    }

private:
    static constexpr unsigned kBytes = sizeof(Word);
    static constexpr Word kOnes = Word(~Word(0)) / 255, kHighs = kOnes << 7;
    Word word_ = 0, upTo_ = 0;
    unsigned count_ = 0;
};

// The same for a 64-bit mask from its two 32-bit halves.
class RankedHalves {
public:
    RankedHalves() = default;
    explicit RankedHalves(uint64_t mask)
        : low_(static_cast<uint32_t>(mask)), high_(static_cast<uint32_t>(mask >> 32)) {}
    // The place of the (n + 1)-th set bit (n < 128), 64 when the mask has n or fewer.
    unsigned Select(unsigned n) const {
        if (n < low_.Count()) return low_.Select(n);
        return 32 + high_.Select(n - low_.Count());
    }

private:
    RankedWord<uint32_t> low_, high_;
};

// One word where words are 64 bits, else the halves.
#if defined(__x86_64__) || defined(__aarch64__)
using RankedMask = RankedWord<uint64_t>;
#else
using RankedMask = RankedHalves;
#endif
