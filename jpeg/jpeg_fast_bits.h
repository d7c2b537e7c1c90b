// The fast path of the entropy decoder: a machine-word bit buffer filled from the bytes
// before the next marker, with kLookaheadBits-bit lookahead symbol decoding. It reads exactly
// the bits the bit-serial reader of JpegInput would read, and hands the position back in that
// reader's form. When it would run into the marker it fills with zero bits and reports Overran(); on
// a code not in the table it reports failure; in both cases the caller discards its work and
// decodes the same data bit by bit from the unchanged JpegInput.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "jpeg_huffman.h"
#include "jpeg_input.h"

class FastBits {
public:
    explicit FastBits(JpegInput& in)
        : in_(&in), data_(in.Data()), p_(in.pos), limit_(in.MarkerLimit()), count_(in.bitsLeft) {
        acc_ = in.bitsLeft > 0 && in.bitsLeft < 8 ? Word(in.bitBuffer >> (8 - in.bitsLeft)) << (kWordBits - in.bitsLeft) : 0;
        usable_ = in.bitsLeft < 8;  // a full byte left is only seen after a marker stopped a read
        if (!usable_) count_ = 0;
    }

    // The state a previous FastBits left with Hold().
    static FastBits Resume(JpegInput& in) {
        const JpegInput::HeldBits& h = in.held;
        return FastBits(in, h.p, h.limit, h.acc, h.count, h.padBits);
    }
    // Keeps the state in the JpegInput for the next Resume, without updating its position.
    void Hold() const { in_->held = {p_, limit_, acc_, count_, padBits_, true}; }

    bool Usable() const { return usable_; }
    bool Overran() const { return count_ < padBits_; }
    // True when more than `bytes` bytes remain before the marker.
    bool FarFromLimit(size_t bytes) const { return p_ < limit_ && limit_ - p_ > bytes; }

    // The next Huffman symbol; false when the code is not in the table.
    bool Symbol(const HuffmanTable& table, int& symbol) {
        if (count_ < 16) Refill();
        int entry = table.lookahead[Peek(kLookaheadBits)];
        if (entry > 0) {
            Skip(entry >> 8);
            symbol = entry & 0xFF;
            return true;
        }
        return entry == kLongCode && LongSymbol(table, symbol);
    }

    // A coefficient decoded with its magnitude by one lookup: run and value (0 for a symbol
    // without magnitude), or false for Symbol and Receive to do it.
    bool RunAndValue(const HuffmanTable& table, int& run, int32_t& value) {
        if (count_ < 16) Refill();
        int32_t entry = table.valueLookahead[Peek(kLookaheadBits)];
        if (entry == 0) return false;
        Skip(entry & 0xFF);
        run = (entry >> 8) & 15;
        value = entry >> 16;
        return true;
    }

    // The next 16 bits without taking them; Skip takes n of them.
    uint32_t Peek16() {
        if (count_ < 16) Refill();
        return Peek(16);
    }
    void Skip(int n) {
        acc_ <<= n;
        count_ -= n;
    }

    // n bits (1 to 16) as an unsigned value.
    int32_t Receive(int n) {
        if (count_ < n) Refill();
        int32_t value = static_cast<int32_t>(Peek(n));
        Skip(n);
        return value;
    }

    // Moves JpegInput to where the bit-serial reader would be after the same bits.
    void Store() const {
        int real = count_ - padBits_;
        int whole = real / 8, left = real % 8;
        const int bottom = kWordBits - count_ + padBits_;  // the lowest bit of the last real byte
        size_t p = p_;
        for (int j = 0; j < whole; ++j) p -= ((acc_ >> (bottom + 8 * j)) & 0xFF) == 0xFF ? 2 : 1;
        in_->pos = p;
        in_->bitsLeft = static_cast<uint8_t>(left);
        in_->bitBuffer = left == 0 ? 0 : static_cast<uint8_t>(((acc_ >> (bottom + 8 * whole)) << (8 - left)) & 0xFF);
    }

private:
    using Word = uintptr_t;

    FastBits(JpegInput& in, size_t p, size_t limit, Word acc, int count, int padBits)
        : in_(&in), data_(in.Data()), p_(p), limit_(limit), acc_(acc), count_(count), padBits_(padBits) {}
    static constexpr int kWordBits = static_cast<int>(sizeof(Word) * 8);

    // The next n bits (1 to 16): the unread bits sit at the top of the word, so the lookahead
    // needs no mask and taking bits is one shift.
    uint32_t Peek(int n) const { return static_cast<uint32_t>(acc_ >> (kWordBits - n)); }

    // Whole bytes until the buffer is full; a 0xFF here is always the data byte of 0xFF 0x00.
    // Without a 0xFF among the next word's bytes they are taken at once.
    void Refill() {
        if (p_ < limit_ && limit_ - p_ >= sizeof(Word)) {
            Word next = BigEndianWord(data_ + p_);
            if (!HasFullByte(next)) {
                int bytes = (kWordBits - count_) / 8;
                int taken = 8 * bytes;  // whole bytes only: the bits below stay zero
                Word appended = count_ == 0 ? next : next >> count_;
                if (count_ + taken < kWordBits) appended &= ~(~Word(0) >> (count_ + taken));
                acc_ |= appended;
                p_ += static_cast<size_t>(bytes);
                count_ += taken;
                return;
            }
        }
        while (count_ <= kWordBits - 8) {
            Word byte = 0;
            if (p_ < limit_) {
                byte = data_[p_];
                p_ += byte == 0xFF ? 2 : 1;
            } else {
                padBits_ += 8;
            }
            acc_ |= byte << (kWordBits - 8 - count_);
            count_ += 8;
        }
    }

    static Word BigEndianWord(const uint8_t* p) {
        Word w;
        std::memcpy(&w, p, sizeof w);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        if (sizeof(Word) == 8) return static_cast<Word>(__builtin_bswap64(static_cast<uint64_t>(w)));
        return static_cast<Word>(__builtin_bswap32(static_cast<uint32_t>(w)));
#else
        return w;
#endif
    }

    static bool HasFullByte(Word w) {
        Word inverted = ~w;
        const Word ones = ~Word(0) / 255;  // 0x01 in every byte
        return ((inverted - ones) & ~inverted & (ones << 7)) != 0;
    }

    // Codes longer than the lookahead, bit by bit from the tenth bit on.
    bool LongSymbol(const HuffmanTable& table, int& symbol) {
        uint32_t bits = Peek(16);
        int32_t code = static_cast<int32_t>(bits >> (16 - kLookaheadBits));
        int i = kLookaheadBits - 1;
        while (code > table.maxCode[i]) {
            if (++i == 16) return false;
            code = (code << 1) + static_cast<int32_t>((bits >> (15 - i)) & 1);
        }
        int32_t index = table.firstIndex[i] + code - table.minCode[i];
        if (code < table.minCode[i] || index < 0 || static_cast<size_t>(index) >= table.values.size()) return false;
        Skip(i + 1);
        symbol = table.values[static_cast<size_t>(index)];
        return true;
    }

    JpegInput* in_;
    const uint8_t* data_;
    size_t p_, limit_;
    Word acc_ = 0;
    int count_ = 0;    // unread bits at the top of acc_, zeros below them
    int padBits_ = 0;  // zero bits appended past the marker, the lowest of the unread
    bool usable_ = true;
};

// Brings the JpegInput up to date with a held fast-path state and drops it.
inline void SettleHeldBits(JpegInput& in) {
    if (!in.held.active) return;
    FastBits::Resume(in).Store();
    in.held.active = false;
}
