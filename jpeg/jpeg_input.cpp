#include "jpeg_input.h"

#include <cstring>

#include "jpeg_huffman.h"

void JpegInput::Reset(const uint8_t* data, size_t length) {
    data_ = data;
    end = length;
    pos = 0;
    bitsLeft = 0;
    bitBuffer = 0;
    limitFrom_ = 1;
    limitAt_ = 0;
    held = HeldBits();
}

// A 0xFF followed by 0x00 is data from any starting point (the 0x00 is never 0xFF), so one
// search serves every position up to the marker it found.
size_t JpegInput::FindMarkerLimit() {
    size_t p = pos > end ? end : pos;
    limitFrom_ = p;
    for (;;) {
        const void* found = p < end ? std::memchr(data_ + p, 0xFF, end - p) : nullptr;
        if (found == nullptr) {
            p = end;
            break;
        }
        p = static_cast<size_t>(static_cast<const uint8_t*>(found) - data_);
        if (p + 1 >= end || data_[p + 1] != 0) break;
        p += 2;
    }
    limitAt_ = p;
    return p;
}

uint8_t JpegInput::ReadU8() {
    uint8_t b = Peek();
    Advance(1);
    return b;
}

uint32_t JpegInput::ReadU16() {
    uint32_t high = ReadU8();
    return (high << 8) | ReadU8();
}

// A byte of entropy-coded data. The pair 0xFF 0x00 is the data byte 0xFF; 0xFF followed by
// anything else is a marker, and both bytes are consumed. The end of the data fails too.
bool JpegInput::LoadByte() {
    if (pos >= end) {
        pos = end + 1;
        return false;
    }
    bitBuffer = data_[pos++];
    bitsLeft = 8;
    if (bitBuffer == 0xFF) {
        if (pos >= end) {
            pos = end + 1;
            return false;
        }
        if (data_[pos++] != 0) return false;
    }
    return true;
}

bool JpegInput::ReadBit(int& bit) {
    if (bitsLeft == 0 && !LoadByte()) return false;
    bit = bitBuffer >> 7;
    bitBuffer = static_cast<uint8_t>(bitBuffer << 1);
    --bitsLeft;
    return true;
}

int JpegInput::ReadBitOrMarkerFromNextByte() {
    if (!LoadByte()) {
        bitsLeft = 0;
        return -1;
    }
    int bit = bitBuffer >> 7;
    bitBuffer = static_cast<uint8_t>(bitBuffer << 1);
    --bitsLeft;
    return bit;
}

// Without a 0xFF among the next two bytes, the bits of this byte and those two are known
// without reading them one by one.
bool JpegInput::PeekWide(uint32_t& bits, int& count) const {
    if (pos + 1 >= end || data_[pos] == 0xFF || data_[pos + 1] == 0xFF) return false;
    uint32_t current = bitsLeft ? static_cast<uint32_t>(bitBuffer >> (8 - bitsLeft)) : 0u;
    bits = (current << 16) | (static_cast<uint32_t>(data_[pos]) << 8) | data_[pos + 1];
    count = bitsLeft + 16;
    return true;
}

// Takes n of the bits PeekWide saw, leaving the state the bit-serial reads would leave.
void JpegInput::ConsumeWide(int n) {
    if (n <= bitsLeft) {
        bitBuffer = static_cast<uint8_t>(bitBuffer << n);
        bitsLeft = static_cast<uint8_t>(bitsLeft - n);
        return;
    }
    int rest = n - bitsLeft;
    int bytes = (rest + 7) / 8, used = rest - 8 * (bytes - 1);
    uint8_t last = data_[pos + bytes - 1];
    pos += bytes;
    bitsLeft = static_cast<uint8_t>(8 - used);
    bitBuffer = static_cast<uint8_t>(last << used);
}

bool JpegInput::ReceiveBits(int n, int32_t& value) {
    uint32_t wide;
    int count;
    if (PeekWide(wide, count)) {
        value = n ? static_cast<int32_t>((wide >> (count - n)) & ((1u << n) - 1)) : 0;
        ConsumeWide(n);
        return true;
    }
    uint32_t r = 0;
    while (n > bitsLeft) {
        r = (r << bitsLeft) + (bitsLeft ? (bitBuffer >> (8 - bitsLeft)) : 0u);
        n -= bitsLeft;
        if (!LoadByte()) {
            value = 0;
            return false;
        }
    }
    r = (r << n) + (n ? (static_cast<uint32_t>(bitBuffer) >> (8 - n)) : 0u);
    bitBuffer = static_cast<uint8_t>(bitBuffer << n);
    bitsLeft = static_cast<uint8_t>(bitsLeft - n);
    value = static_cast<int32_t>(r);
    return true;
}

bool JpegInput::DecodeSymbol(const HuffmanTable* table, int& symbol) {
    if (table == nullptr || !table->defined) return false;
    uint32_t wide;
    int count;
    if (PeekWide(wide, count)) {
        int entry = table->lookahead[(wide >> (count - kLookaheadBits)) & ((1u << kLookaheadBits) - 1)];
        if (entry > 0) {
            ConsumeWide(entry >> 8);
            symbol = entry & 0xFF;
            return true;
        }
    }
    int bit;
    if (!ReadBit(bit)) return false;
    int32_t code = bit;
    int i = 0;
    while (code > table->maxCode[i]) {
        if (++i == 16) return false;
        if (!ReadBit(bit)) return false;
        code = (code << 1) + bit;
    }
    // An over-full table can hold codes below the first code of their length: no symbol.
    int32_t index = table->firstIndex[i] + code - table->minCode[i];
    if (code < table->minCode[i] || index < 0 || static_cast<size_t>(index) >= table->values.size())
        return false;
    symbol = table->values[static_cast<size_t>(index)];
    return !Beyond();
}
