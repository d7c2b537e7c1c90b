#include "jpeg_huffman.h"

namespace {

// Decodes the code at the top of the kLookaheadBits-bit `prefix` exactly as the bit-serial
// decoder does; kLongCode when it needs more bits.
int16_t LookaheadEntry(const HuffmanTable& table, uint32_t prefix) {
    int32_t code = prefix >> (kLookaheadBits - 1);
    int i = 0;
    while (code > table.maxCode[i]) {
        if (++i == kLookaheadBits) return kLongCode;
        code = (code << 1) + ((prefix >> (kLookaheadBits - 1 - i)) & 1);
    }
    int32_t index = table.firstIndex[i] + code - table.minCode[i];
    if (code < table.minCode[i] || index < 0 || static_cast<size_t>(index) >= table.values.size()) return kBadCode;
    return static_cast<int16_t>(((i + 1) << 8) | table.values[static_cast<size_t>(index)]);
}

// The coefficient of an AC symbol decoded together with its magnitude bits, when both are
// within the prefix; a symbol without magnitude (end of block, sixteen zeros) has value 0.
int32_t ValueEntry(int16_t entry, uint32_t prefix) {
    if (entry <= 0) return 0;
    int length = entry >> 8, run = (entry >> 4) & 15, size = entry & 15;
    if (size == 0) return (run << 8) | length;
    if (length + size > kLookaheadBits) return 0;
    int32_t bits = static_cast<int32_t>((prefix >> (kLookaheadBits - length - size)) & ((1u << size) - 1));
    int32_t value = bits < (int32_t(1) << (size - 1)) ? bits - (int32_t(1) << size) + 1 : bits;
    return static_cast<int32_t>(static_cast<uint32_t>(value) << 16) | (run << 8) | (length + size);
}

}  // namespace

void BuildHuffmanTable(HuffmanTable& table, const uint8_t counts[16], const uint8_t* values) {
    size_t total = 0;
    for (int i = 0; i < 16; ++i) {
        table.counts[i] = counts[i];
        total += counts[i];
    }
    table.values.assign(values, values + total);

    table.sizes.clear();
    table.sizes.reserve(total + 1);
    for (int length = 1; length <= 16; ++length)
        table.sizes.insert(table.sizes.end(), counts[length - 1], static_cast<uint8_t>(length));
    table.sizes.push_back(0);

    // Canonical codes: consecutive within a length, shifted left on moving to a longer one.
    table.codes.assign(total, 0);
    int32_t code = 0;
    size_t k = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int n = 0; n < counts[length - 1]; ++n) table.codes[k++] = code++;
        code <<= 1;
    }

    size_t first = 0;
    for (int i = 0; i < 16; ++i) {
        if (counts[i] == 0) {
            table.maxCode[i] = table.minCode[i] = -1;
            table.firstIndex[i] = 0;
            continue;
        }
        table.firstIndex[i] = static_cast<int32_t>(first);
        table.minCode[i] = table.codes[first];
        table.maxCode[i] = table.codes[first + counts[i] - 1];
        first += counts[i];
    }
    for (uint32_t prefix = 0; prefix < (1u << kLookaheadBits); ++prefix)
        table.lookahead[prefix] = LookaheadEntry(table, prefix);
    for (uint32_t prefix = 0; prefix < (1u << kLookaheadBits); ++prefix)
        table.valueLookahead[prefix] = ValueEntry(table.lookahead[prefix], prefix);
    table.defined = true;
}
