// One sequential data unit through FastBits: the same coefficients, predictor and bits as
// JpegDecoder::DecodeBlock, into a block that is all zero on entry.
#pragma once
#include <cstdint>

#include "jpeg_fast_bits.h"
#include "jpeg_mcu_output.h"
#include "jpeg_stream_store.h"
#include "jpeg_transform.h"

// Zig-zag position to natural index, with the positions a run can reach past 63 on 63.
extern const uint8_t kZigzagWide[80];

// Where DecodeBlockFast puts coefficients: a block all zero on entry.
struct DenseBlockOut {
    int32_t* block;
    void Dc(int32_t value) { block[0] = value; }
    void Put(uint32_t natural, int32_t value) { block[natural] = value; }
};

// Or the DC value apart and the AC coefficients as entries in the order decoded, at most 63
// per block: SparseEntry(natural position, value). A later entry for the same position
// replaces the earlier one when the list is spread out.
struct SparseBlockOut {
    int32_t* dc;
    uint32_t* entries;
    uint32_t count;
    // The helper reads them next, on the other core: they go past the cache.
    void Dc(int32_t value) { StreamStore(reinterpret_cast<uint32_t*>(dc), static_cast<uint32_t>(value)); }
    void Put(uint32_t natural, int32_t value) { StreamStore(entries + count++, SparseEntry(natural, value)); }
};

// False when the data needs the bit-serial decoder (a code not in a table, a DC size above
// 15). `acWritten` tells whether any AC coefficient was stored.
template <class Out>
inline bool DecodeBlockFast(FastBits& bits, const HuffmanTable& dc, const HuffmanTable& ac, int32_t& predictor,
                            Out& out, bool& acWritten) {
    // Whether an AC coefficient was stored follows from the end position: without one, only
    // runs of sixteen zeros moved it on from 1. Nothing is noted per coefficient.
    uint32_t zeroRuns = 0;
    // The difference with its code in one lookup where both fit the lookahead; a symbol of 16
    // or more (a run in the lookup) is left to the bit-serial decoder.
    int32_t diff;
    int dcRun;
    if (bits.RunAndValue(dc, dcRun, diff)) {
        if (dcRun != 0) return false;
    } else {
        int size;
        if (!bits.Symbol(dc, size) || size > 15) return false;
        diff = size > 0 ? Extend(bits.Receive(size), size) : 0;
    }
    predictor = Wrap32(static_cast<int64_t>(predictor) + diff);
    out.Dc(predictor);
    uint32_t k = 1;
    while (k < 64) {
        int zeros;
        int32_t value;
        if (bits.RunAndValue(ac, zeros, value)) {
            if (value == 0) {  // no magnitude: sixteen zeros, else the end of the block
                if (zeros != 15) break;
                k += 16;
                ++zeroRuns;
                continue;
            }
            k += static_cast<uint32_t>(zeros);
            out.Put(kZigzagWide[k], value);
            ++k;
            continue;
        }
        int rs;
        if (!bits.Symbol(ac, rs)) {
            acWritten = k != 1 + 16 * zeroRuns;
            return false;
        }
        int run = rs >> 4, bitCount = rs & 15;
        if (bitCount != 0) {
            k += run;
            out.Put(kZigzagWide[k], Extend(bits.Receive(bitCount), bitCount));
            ++k;
        } else if (run == 15) {
            k += 16;
            ++zeroRuns;
        } else {
            break;
        }
    }
    acWritten = k != 1 + 16 * zeroRuns;
    return true;
}

inline bool DecodeBlockFast(FastBits& bits, const HuffmanTable& dc, const HuffmanTable& ac, int32_t& predictor,
                            int32_t* block, bool& acWritten) {
    DenseBlockOut out{block};
    return DecodeBlockFast(bits, dc, ac, predictor, out, acWritten);
}
