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

// The place of the (n + 1)-th set bit of `word` (n < 128), the word's width when it has n or
// fewer; `count` gets its number of set bits. Without branches on the data: bit counts per
// byte, their running sums, the byte where the sum passes n, then the bit within that byte.
// Bit deposit would do it in one instruction, but some processors run that in microcode.
template <class Word>
inline unsigned SelectInWord(Word word, unsigned n, unsigned& count) {
    constexpr unsigned kBytes = sizeof(Word);
    const Word ones = Word(~Word(0)) / 255, highs = ones << 7;
    Word c = word - ((word >> 1) & (ones * 0x55));
    c = (c & (ones * 0x33)) + ((c >> 2) & (ones * 0x33));
    c = (c + (c >> 4)) & (ones * 0x0F);
    const Word upTo = c * ones;  // byte i: set bits in bytes 0 to i
    count = static_cast<unsigned>(upTo >> (8 * (kBytes - 1)));
    // Bytes whose running sum is at most n lie before the one that holds the bit.
    const Word atMost = ((Word(n) * ones | highs) - upTo) & highs;
    const unsigned before = static_cast<unsigned>(((atMost >> 7) * ones) >> (8 * (kBytes - 1)));
    if (before >= kBytes) return 8 * kBytes;
    const unsigned shift = 8 * before;
    const unsigned skipped = static_cast<unsigned>(((upTo << 8) >> shift) & 0xFF);
    return shift + kBitInByte.at[(word >> shift) & 0xFF][(n - skipped) & 7];
}

// The place of the (n + 1)-th lowest set bit of `mask` (0 <= n < 32), or 64 when it has n or
// fewer, from its two 32-bit halves.
inline unsigned SelectSetBitByHalves(uint64_t mask, int n) {
    unsigned count, highCount;
    const unsigned low = SelectInWord(static_cast<uint32_t>(mask), static_cast<unsigned>(n), count);
    if (low < 32) return low;
    return 32 + SelectInWord(static_cast<uint32_t>(mask >> 32), static_cast<unsigned>(n) - count, highCount);
}

// The same, in one word where words are 64 bits.
inline unsigned SelectSetBit(uint64_t mask, int n) {
#if defined(__x86_64__) || defined(__aarch64__)
    unsigned count;
    return SelectInWord(mask, static_cast<unsigned>(n), count);
#else
    return SelectSetBitByHalves(mask, n);
#endif
}
