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
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

// The bit-serial reader with its failures as they are.
struct SerialSource {
    JpegInput& in;
    int Bit() { return in.ReadBitOrMarker(); }  // -1 at a marker or the end
    int Symbol(const HuffmanTable* table, int& symbol) { return in.DecodeSymbol(table, symbol); }
    int Receive(int n, int32_t& value) { return in.ReceiveBits(n, value); }
};

// FastBits never meets the marker (it reads zeros past it); a code outside the table stops
// the attempt.
struct FastSource {
    FastBits bits;
    bool failed = false;
    int Bit() { return bits.Receive(1); }
    int Symbol(const HuffmanTable* table, int& symbol) {
        if (!bits.Symbol(*table, symbol)) failed = true;
        return failed ? 0 : 1;
    }
    int Receive(int n, int32_t& value) {
        value = n ? bits.Receive(n) : 0;
        return 1;
    }
};

// The band and state of the scan that every block shares.
struct AcScan {
    const HuffmanTable* table;
    uint32_t start, end;  // spectral selection
    uint8_t approxLow;
    uint32_t& eobRun;
    int& status;
};

inline int32_t ScaledCoefficient(int32_t value, int shift) {
    return Wrap32(static_cast<int64_t>(value) * (int64_t(1) << shift));
}

// First AC scan of one block: 1 to go on with the next block, 0 to end the scan.
template <class Source>
int AcFirstBlock(Source& src, const AcScan& s, int32_t* block) {
    if (s.eobRun > 0) {
        --s.eobRun;
        return 1;
    }
    for (uint32_t k = s.start; k <= s.end;) {
        int rs;
        if (!src.Symbol(s.table, rs)) return s.status = 0;
        int run = rs >> 4, size = rs & 15;
        if (size != 0) {
            k += run;
            int32_t bits;
            if (!src.Receive(size, bits)) return s.status = 0;
            block[ZigzagIndex(k)] = ScaledCoefficient(Extend(bits, size), s.approxLow);
            ++k;
        } else if (run == 15) {
            k += 16;
        } else {
            int32_t bits = 0;
            s.status = src.Receive(run, bits);
            s.eobRun = (1u << run) + static_cast<uint32_t>(bits) - 1;
            break;
        }
    }
    return 1;
}

// Refinement of one block: coefficients already non-zero take one correction bit each, which
// moves them 2^Al further from zero; newly non-zero ones are +-2^Al. 1 to go on, 0 to end.
template <class Source>
int AcRefineBlock(Source& src, const AcScan& s, int32_t* block) {
    const int32_t step = int32_t(1) << s.approxLow;
    uint32_t k = s.start;
    // Corrects the coefficient when the bit says so; false at a marker or the end.
    auto correct = [&](int32_t& coefficient) {
        int bit = src.Bit();
        if (bit < 0) return false;
        if (bit == 1) coefficient = Wrap32(int64_t(coefficient) + (coefficient > 0 ? step : -step));
        return true;
    };
    // Within a band inside the block, which positions are non-zero is known from the start:
    // a correction never makes a coefficient zero, and new ones are set behind k.
    const bool masked = s.end <= 63;
    const uint64_t nonZero = masked ? NonZeroInZigzagOrder(block) : 0;
    auto isNonZero = [&](uint32_t at) { return masked ? ((nonZero >> at) & 1) != 0 : block[ZigzagIndex(at)] != 0; };
    // Corrects non-zero coefficients from k on until a zero one (k stays on it) or the band end.
    auto skipNonZero = [&]() {
        while (k <= s.end && isNonZero(k)) {
            if (!correct(block[ZigzagIndex(k)])) return false;
            ++k;
        }
        return true;
    };
    // Corrects every non-zero coefficient from k to the band end.
    auto correctRest = [&]() {
        if (masked && k <= s.end) {
            uint64_t rest = (nonZero >> k) << k;
            if (s.end < 63) rest &= (uint64_t(1) << (s.end + 1)) - 1;
            for (; rest != 0; rest &= rest - 1)
                if (!correct(block[kZigzag[__builtin_ctzll(rest)]])) return false;
            return true;
        }
        for (; k <= s.end; ++k)
            if (block[ZigzagIndex(k)] != 0 && !correct(block[ZigzagIndex(k)])) return false;
        return true;
    };

    if (s.eobRun > 0) {
        --s.eobRun;
        return correctRest() ? 1 : 0;
    }
    while (k <= s.end) {
        int rs;
        if (!src.Symbol(s.table, rs)) return s.status = 0;
        int run = rs >> 4, size = rs & 15;
        if (size == 0 && run < 15) {
            int32_t bits = 0;
            s.status = src.Receive(run, bits);
            s.eobRun = (1u << run) + static_cast<uint32_t>(bits) - 1;
            return correctRest() ? 1 : 0;
        }
        int32_t bits = 0;
        if (size != 0 && !src.Receive(size, bits)) return s.status = 0;
        int zeros = size == 0 ? 16 : run;  // ZRL skips sixteen zeros
        for (int z = 0; z < zeros && k <= s.end; ++z) {
            if (!skipNonZero()) return 0;
            if (k <= s.end) ++k;
        }
        if (size == 0) continue;
        if (!skipNonZero()) return 0;
        if (k > s.end) break;
        block[ZigzagIndex(k)] = ScaledCoefficient(Extend(bits, size), s.approxLow);
        ++k;
    }
    return 1;
}

// One block by FastBits when it can finish it, else bit by bit: the same result either way.
template <int (*Fast)(FastSource&, const AcScan&, int32_t*), int (*Serial)(SerialSource&, const AcScan&, int32_t*)>
int AcBlockEitherWay(JpegInput& in, const AcScan& s, int32_t* block) {
    FastSource fast{FastBits(in)};
    if (fast.bits.Usable()) {
        int32_t saved[64];
        std::memcpy(saved, block, sizeof saved);
        uint32_t eobRun = s.eobRun;
        int status = s.status;
        int result = Fast(fast, s, block);
        if (!fast.failed && !fast.bits.Overran()) {
            fast.bits.Store();
            return result;
        }
        std::memcpy(block, saved, sizeof saved);
        s.eobRun = eobRun;
        s.status = status;
    }
    SerialSource serial{in};
    return Serial(serial, s, block);
}
