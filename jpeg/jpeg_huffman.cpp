#include "jpeg_huffman.h"

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
    table.defined = true;
}
