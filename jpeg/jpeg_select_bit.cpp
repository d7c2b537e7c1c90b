#include "jpeg_select_bit.h"

namespace {

constexpr BitInByteTable MakeBitInByteTable() {
    BitInByteTable t{};
    for (int byte = 0; byte < 256; ++byte) {
        int seen = 0;
        for (int n = 0; n < 8; ++n) t.at[byte][n] = 8;
        for (int bit = 0; bit < 8; ++bit)
            if ((byte >> bit) & 1) t.at[byte][seen++] = static_cast<uint8_t>(bit);
    }
    return t;
}

}  // namespace

const BitInByteTable kBitInByte = MakeBitInByteTable();
