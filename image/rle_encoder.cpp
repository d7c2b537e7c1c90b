#include "image/rle_encoder.h"

namespace {

// Pixels from `x` on that repeat row[x], at most 255.
uint32_t repeatLength(const uint8_t* row, uint32_t x, uint32_t width) {
    uint32_t n = 1;
    while (x + n < width && n < 255 && row[x + n] == row[x]) ++n;
    return n;
}

// Pixels from `x` on up to the next pair of equal ones, at most 255.
uint32_t literalLength(const uint8_t* row, uint32_t x, uint32_t width) {
    uint32_t n = 1;
    while (x + n < width && n < 255 && !(x + n + 1 < width && row[x + n] == row[x + n + 1])) ++n;
    return n;
}

void encodeRow(const uint8_t* row, uint32_t width, std::vector<uint8_t>& out) {
    for (uint32_t x = 0; x < width;) {
        const uint32_t repeat = repeatLength(row, x, width);
        if (repeat >= 2) {
            out.insert(out.end(), {uint8_t(repeat), row[x]});
            x += repeat;
            continue;
        }
        const uint32_t literal = literalLength(row, x, width);
        if (literal < 3) {  // absolute runs start at three pixels
            out.insert(out.end(), {1, row[x]});
            ++x;
            continue;
        }
        out.insert(out.end(), {0, uint8_t(literal)});
        out.insert(out.end(), row + x, row + x + literal);
        if (literal % 2 == 1) out.push_back(0);
        x += literal;
    }
}

}  // namespace

std::vector<uint8_t> encodeRle8(const uint8_t* bottomRow, size_t pitch, uint32_t width, uint32_t height) {
    std::vector<uint8_t> out;
    for (uint32_t y = 0; y < height; ++y) {
        encodeRow(bottomRow + pitch * y, width, out);
        if (y + 1 < height) out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}
