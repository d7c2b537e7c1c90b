// One block of a progressive AC scan, written once for two bit sources: the bit-serial
// JpegInput, and FastBits, whose attempt the caller keeps only when it neither met a code
// outside the table nor ran into the next marker (else the block is restored and decoded
// again bit by bit).
#pragma once
#include <cstdint>
#include <cstring>

#include "jpeg_coefficient_mask.h"
#include "jpeg_fast_bits.h"
#include "jpeg_input.h"
#include "jpeg_select_bit.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

// Blocks are 32-bit or 16-bit coefficients; values are worked out in 32 bits and stored as
// they are, the decoder having made sure beforehand that a 16-bit block holds every value the
// scan can give it.

// A correction bit of 1 moves the coefficient one step further from zero (bit is 0 or 1;
// no branch on it, since correction bits are random).
template <class T>
inline void ApplyCorrection(T& coefficient, int bit, int32_t step) {
    int32_t away = coefficient > 0 ? step : -step;
    coefficient = static_cast<T>(Wrap32(int64_t(coefficient) + (away & -bit)));
}

// The bit-serial reader with its failures as they are.
struct SerialSource {
    JpegInput& in;
    // One correction; false at a marker or the end.
    template <class T>
    bool Correct(T& coefficient, int32_t step) {
        int bit = in.ReadBitOrMarker();
        if (bit < 0) return false;
        ApplyCorrection(coefficient, bit, step);
        return true;
    }
    // Corrections of the coefficients at the zig-zag positions of `positions`, in order.
    template <class T>
    bool CorrectAll(T* block, uint64_t positions, int32_t step) {
        for (; positions != 0; positions &= positions - 1)
            if (!Correct(block[kZigzag[LowestSetBit(positions)]], step)) return false;
        return true;
    }
    bool Symbol(const HuffmanTable* table, int& symbol) { return in.DecodeSymbol(table, symbol); }
    bool Receive(int n, int32_t& value) { return in.ReceiveBits(n, value); }
    bool RunAndValue(const HuffmanTable*, int&, int32_t&) { return false; }
};

// FastBits never meets the marker (it reads zeros past it); a code outside the table stops
// the attempt.
struct FastSource {
    FastBits bits;
    bool failed = false;
    template <class T>
    bool Correct(T& coefficient, int32_t step) {
        ApplyCorrection(coefficient, bits.Receive(1), step);
        return true;
    }
    // Up to sixteen correction bits per read.
    template <class T>
    bool CorrectAll(T* block, uint64_t positions, int32_t step) {
        while (positions != 0) {
            uint32_t next = bits.Peek16();
            int used = 0;
            for (; positions != 0 && used < 16; ++used, positions &= positions - 1)
                ApplyCorrection(block[kZigzag[LowestSetBit(positions)]], (next >> (15 - used)) & 1, step);
            bits.Skip(used);
        }
        return true;
    }
    bool Symbol(const HuffmanTable* table, int& symbol) {
        if (!bits.Symbol(*table, symbol)) failed = true;
        return !failed;
    }
    bool Receive(int n, int32_t& value) {
        value = n ? bits.Receive(n) : 0;
        return true;
    }
    // A symbol with its value bits in one lookup where both fit; false leaves it to Symbol.
    bool RunAndValue(const HuffmanTable* table, int& run, int32_t& value) { return bits.RunAndValue(*table, run, value); }
};

// The band of the scan and the state its blocks share.
struct AcScan {
    const HuffmanTable* table;
    uint32_t start, end;  // spectral selection
    uint8_t approxLow;
    uint32_t eobRun;      // blocks still in the current end-of-band run
    bool status;      // the result of the last symbol or bit field read
};

inline int32_t ScaledCoefficient(int32_t value, int shift) {
    return Wrap32(static_cast<int64_t>(value) * (int64_t(1) << shift));
}

// A failed symbol or bit field ends the scan.
inline bool Failed(AcScan& s) {
    s.status = false;
    return false;
}

// The end-of-band run a symbol of run r starts: r more bits, whose read's result is kept while
// decoding goes on either way.
template <class Source>
void StartEndOfBand(Source& src, AcScan& s, int run) {
    int32_t bits = 0;
    s.status = src.Receive(run, bits);
    s.eobRun = (1u << run) + static_cast<uint32_t>(bits) - 1;
}

// First AC scan of one block: true to go on with the next block, false to end the scan.
template <class Source, class T>
bool AcFirstBlock(Source& src, AcScan& s, T* block) {
    if (s.eobRun > 0) {
        --s.eobRun;
        return true;
    }
    for (uint32_t k = s.start; k <= s.end;) {
        // The one-lookup road and the symbol-then-bits road each place their coefficient
        // themselves: merged (here and in NextRefinement), the 32-bit build decoded
        // progressive pictures about 6 % slower under Wine.
        int zeros;
        int32_t value;
        if (src.RunAndValue(s.table, zeros, value)) {
            if (value != 0) {
                k += static_cast<uint32_t>(zeros);
                block[ZigzagIndex(k)] = static_cast<T>(ScaledCoefficient(value, s.approxLow));
                ++k;
            } else if (zeros == 15) {
                k += 16;
            } else {
                StartEndOfBand(src, s, zeros);
                break;
            }
            continue;
        }
        int rs;
        if (!src.Symbol(s.table, rs)) return Failed(s);
        int run = rs >> 4, size = rs & 15;
        if (size != 0) {
            k += run;
            int32_t bits;
            if (!src.Receive(size, bits)) return Failed(s);
            block[ZigzagIndex(k)] = static_cast<T>(ScaledCoefficient(Extend(bits, size), s.approxLow));
            ++k;
        } else if (run == 15) {
            k += 16;
        } else {
            StartEndOfBand(src, s, run);
            break;
        }
    }
    return true;
}

// What the next symbol of a refinement block says.
enum class Refinement { Stop, EndOfBand, Coefficient };

// Reads the next symbol of a refinement block and, for a coefficient, its bits: Stop when the
// read fails (the scan ends), EndOfBand when it starts a run (the block's remaining non-zero
// coefficients are then corrected), else Coefficient with `run` and the coefficient's `value`
// (0 for ZRL).
template <class Source>
__attribute__((always_inline)) inline Refinement NextRefinement(Source& src, AcScan& s, int& run, int32_t& value) {
    if (src.RunAndValue(s.table, run, value)) {
        if (value != 0 || run == 15) return Refinement::Coefficient;
        StartEndOfBand(src, s, run);
        return Refinement::EndOfBand;
    }
    int rs;
    if (!src.Symbol(s.table, rs)) {
        Failed(s);
        return Refinement::Stop;
    }
    run = rs >> 4;
    const int size = rs & 15;
    if (size == 0 && run < 15) {
        StartEndOfBand(src, s, run);
        return Refinement::EndOfBand;
    }
    int32_t bits = 0;
    if (size != 0 && !src.Receive(size, bits)) {
        Failed(s);
        return Refinement::Stop;
    }
    value = size != 0 ? Extend(bits, size) : 0;
    return Refinement::Coefficient;
}

// Refinement of one block: coefficients already non-zero take one correction bit each, which
// moves them 2^Al further from zero; newly non-zero ones are +-2^Al. True to go on, false to
// end the scan. Position by position, for bands that reach past the block (every such
// position names coefficient 63).
template <class Source, class T>
bool AcRefinePositions(Source& src, AcScan& s, T* block) {
    const int32_t step = int32_t(1) << s.approxLow;
    uint32_t k = s.start;
    // Corrects non-zero coefficients from k on until a zero one (k stays on it) or the band end.
    auto skipNonZero = [&]() {
        while (k <= s.end && block[ZigzagIndex(k)] != 0) {
            if (!src.Correct(block[ZigzagIndex(k)], step)) return false;
            ++k;
        }
        return true;
    };
    auto correctRest = [&]() {
        for (; k <= s.end; ++k)
            if (block[ZigzagIndex(k)] != 0 && !src.Correct(block[ZigzagIndex(k)], step)) return false;
        return true;
    };

    if (s.eobRun > 0) {
        --s.eobRun;
        return correctRest();
    }
    while (k <= s.end) {
        int run;
        int32_t value;
        Refinement next = NextRefinement(src, s, run, value);
        if (next == Refinement::Stop) return false;
        if (next == Refinement::EndOfBand) return correctRest();
        int zeros = value == 0 ? 16 : run;  // ZRL skips sixteen zeros
        for (int z = 0; z < zeros && k <= s.end; ++z) {
            if (!skipNonZero()) return false;
            if (k <= s.end) ++k;
        }
        if (value == 0) continue;
        if (!skipNonZero()) return false;
        if (k > s.end) break;
        block[ZigzagIndex(k)] = static_cast<T>(ScaledCoefficient(value, s.approxLow));
        ++k;
    }
    return true;
}

// Zig-zag positions from..to as a mask; empty when from > to (to <= 63).
inline uint64_t Span(uint32_t from, uint32_t to) {
    if (from > to) return 0;
    uint64_t upTo = to >= 63 ? ~uint64_t(0) : (uint64_t(1) << (to + 1)) - 1;
    return upTo & ~((uint64_t(1) << from) - 1);
}

// The same refinement for bands within the block, by masks: which positions are non-zero is
// known from the start, since a correction never makes a coefficient zero and new ones are
// set behind the position reached. Skipping r zero positions, correcting the non-zero ones
// passed, is then finding a zero of the band by its rank: the band's zeros are ranked once,
// when its first coefficient comes, and the rank of the position reached is kept.
template <class Source, class T>
bool AcRefineMasked(Source& src, AcScan& s, T* block) {
    const int32_t step = int32_t(1) << s.approxLow;
    const uint64_t nonZero = NonZeroInZigzagOrder(block);
    uint32_t k = s.start;
    if (s.eobRun > 0) {
        --s.eobRun;
        return src.CorrectAll(block, nonZero & Span(k, s.end), step);
    }
    RankedMask zeros;
    bool ranked = false;
    unsigned rank = 0;  // zeros of the band before k
    while (k <= s.end) {
        int run;
        int32_t value;
        Refinement next = NextRefinement(src, s, run, value);
        if (next == Refinement::Stop) return false;
        if (next == Refinement::EndOfBand) return src.CorrectAll(block, nonZero & Span(k, s.end), step);
        if (!ranked) {
            zeros = RankedMask(~nonZero & Span(s.start, s.end));
            ranked = true;
        }
        // A coefficient goes on the zero position after `run` zeros; ZRL ends on the 16th zero.
        const uint64_t ahead = Span(k, s.end);
        const unsigned passed = value == 0 ? 15 : static_cast<unsigned>(run);
        const unsigned target = zeros.Select(rank + passed);
        if (target >= 64) return src.CorrectAll(block, nonZero & ahead, step);  // the band ends first
        if (!src.CorrectAll(block, nonZero & ahead & ((uint64_t(1) << target) - 1), step)) return false;
        k = target + 1;
        rank += passed + 1;
        if (value != 0) block[kZigzag[target]] = static_cast<T>(ScaledCoefficient(value, s.approxLow));
    }
    return true;
}

template <class Source, class T>
bool AcRefineBlock(Source& src, AcScan& s, T* block) {
    return s.end <= 63 ? AcRefineMasked(src, s, block) : AcRefinePositions(src, s, block);
}

// The blocks of one scan through FastBits, kept from block to block; a block it cannot finish
// is restored with the reader's state before it and decoded bit by bit, after which FastBits
// starts again from the bit-serial reader. Finish() hands the position back.
class AcBlockRun {
public:
    // The band of the scan sets how far from the marker a block must start to go fast.
    AcBlockRun(JpegInput& in, uint32_t start, uint32_t end)
        : in_(in), fast_{FastBits(in)}, mostBytesPerBlock_(MostBytesPerBlock(start, end)) {
        active_ = fast_.bits.Usable();
    }

    template <bool (*Fast)(FastSource&, AcScan&, int32_t*), bool (*Serial)(SerialSource&, AcScan&, int32_t*)>
    bool Block(AcScan& s, int32_t* block) {
        return BlockOf<int32_t, Fast, Serial>(s, block);
    }

    template <class T, bool (*Fast)(FastSource&, AcScan&, T*), bool (*Serial)(SerialSource&, AcScan&, T*)>
    bool BlockOf(AcScan& s, T* block) {
        if (active_ && fast_.bits.FarFromLimit(mostBytesPerBlock_)) {
            // The block cannot reach the marker, so the fast attempt is the bit-serial decode
            // up to any code outside the table, where both stop before reading the code.
            bool result = Fast(fast_, s, block);
            if (!fast_.failed) return result;
            fast_.bits.Store();
            active_ = false;
            int symbol;
            in_.DecodeSymbol(s.table, symbol);  // fails as the bit-serial decode does
            return Failed(s);
        }
        if (active_) {
            FastBits before = fast_.bits;
            T saved[64];
            std::memcpy(saved, block, sizeof saved);
            const AcScan state = s;
            bool result = Fast(fast_, s, block);
            if (!fast_.failed && !fast_.bits.Overran()) return result;
            std::memcpy(block, saved, sizeof saved);
            s = state;
            before.Store();
            active_ = false;
        }
        SerialSource serial{in_};
        bool result = Serial(serial, s, block);
        fast_ = FastSource{FastBits(in_)};
        active_ = fast_.bits.Usable();
        return result;
    }

    void Finish() {
        if (active_) fast_.bits.Store();
        active_ = false;
    }

private:
    // More than a block of an AC scan can take. Every symbol moves at least one position on
    // (or ends the block), and takes at most a 16-bit code, 15 magnitude bits and a correction
    // bit for each position passed: 32 bits a position and one symbol more, every byte doubled
    // by stuffing. Bands may reach past coefficient 63, up to position 255.
    static size_t MostBytesPerBlock(uint32_t start, uint32_t end) {
        size_t positions = end >= start ? size_t(end - start) + 1 : 0;
        size_t most = 8 * (positions + 1) + 32;
        return most > 1024 ? most : 1024;
    }

    JpegInput& in_;
    FastSource fast_;
    size_t mostBytesPerBlock_;
    bool active_ = false;
};

// The blocks of an AC scan in the order the scan codes them: `count` blocks, `across` to a
// row of the store, rows `rowStride` coefficients apart from `first`. `visit(m)` comes before
// block m; false from it ends the scan, incomplete. A first scan passes over the blocks of an
// end-of-band run here, which touch nothing. True when every block was decoded.
template <class T, bool (*Fast)(FastSource&, AcScan&, T*), bool (*Serial)(SerialSource&, AcScan&, T*),
          bool kFirstScan, class Visit>
bool DecodeAcBlockRows(JpegInput& in, AcScan& scan, T* first, size_t rowStride, uint32_t across, uint32_t count,
                       Visit visit) {
    AcBlockRun run(in, scan.start, scan.end);
    // Block after block, stepping along the rows instead of dividing.
    T* rowStart = first;
    uint32_t mx = 0;
    bool complete = true;
    for (uint32_t m = 0; m < count && complete; ++m) {
        T* const block = rowStart + size_t(mx) * 64;
        if (++mx == across) {
            mx = 0;
            rowStart += rowStride;
        }
        if (!visit(m)) {
            complete = false;
            break;
        }
        if (kFirstScan && scan.eobRun > 0) {
            --scan.eobRun;
            continue;
        }
        complete = run.template BlockOf<T, Fast, Serial>(scan, block);
    }
    run.Finish();
    return complete;
}
