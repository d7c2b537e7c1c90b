// The four kinds of progressive scan: DC and AC, first and refinement.
// Each returns 1 when the scan is complete and 0 when the scan loop must stop.
#include "jpeg_decoder.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

namespace {

int32_t Scaled(int32_t value, int shift) { return Wrap32(static_cast<int64_t>(value) * (int64_t(1) << shift)); }

}  // namespace

int JpegDecoder::DecodeDcFirst() {
    for (ScanComponent& c : scanComponents) c.dcPredictor = 0;
    for (uint32_t m = 0; m < mcuCount; ++m) {
        uint32_t mx = m % mcusAcross, my = m / mcusAcross;
        for (ScanComponent& c : scanComponents) {
            dcTable = &dcTables[c.dcSelector];
            uint32_t blocks = c.index == 1 ? c.blocksPerMcu : 1;
            for (uint32_t i = 0; i < blocks; ++i) {
                int size;
                int32_t diff = 0;
                if (!in_.DecodeSymbol(dcTable, size) || size > 15) return status = 0;
                if (size > 0) {
                    int32_t bits;
                    if (!in_.ReceiveBits(size, bits)) return status = 0;
                    diff = Scaled(Extend(bits, size), approxLow);
                }
                c.dcPredictor = Wrap32(int64_t(c.dcPredictor) + diff);
                DcBlock(c, mx, my, i)[0] = c.dcPredictor;
            }
        }
    }
    return 1;
}

int JpegDecoder::DecodeDcRefine() {
    for (ScanComponent& c : scanComponents) c.dcPredictor = 0;
    for (uint32_t m = 0; m < mcuCount; ++m) {
        uint32_t mx = m % mcusAcross, my = m / mcusAcross;
        for (ScanComponent& c : scanComponents) {
            dcTable = &dcTables[c.dcSelector];
            uint32_t blocks = c.index == 1 ? c.blocksPerMcu : 1;
            for (uint32_t i = 0; i < blocks; ++i) {
                int bit = in_.ReadBitOrMarker();
                if (bit < 0) return 0;
                int32_t* block = DcBlock(c, mx, my, i);
                block[0] = Wrap32(int64_t(block[0]) + Scaled(bit, approxLow));
            }
        }
    }
    return 1;
}

int JpegDecoder::DecodeAcFirst() {
    eobRun = 0;
    acTable = &acTables[scanComponents[0].acSelector];
    for (uint32_t m = 0; m < mcuCount; ++m) {
        int32_t* block = AcBlock(m);
        if (eobRun > 0) {
            --eobRun;
            continue;
        }
        for (uint32_t k = spectralStart; k <= spectralEnd;) {
            int rs;
            if (!in_.DecodeSymbol(acTable, rs)) return status = 0;
            int run = rs >> 4, size = rs & 15;
            if (size != 0) {
                k += run;
                int32_t bits;
                if (!in_.ReceiveBits(size, bits)) return status = 0;
                block[ZigzagIndex(k)] = Scaled(Extend(bits, size), approxLow);
                ++k;
            } else if (run == 15) {
                k += 16;
            } else {
                int32_t bits = 0;
                status = in_.ReceiveBits(run, bits);
                eobRun = (1u << run) + static_cast<uint32_t>(bits) - 1;
                break;
            }
        }
    }
    return 1;
}

// Refinement of AC coefficients already non-zero: one correction bit each, which moves the
// coefficient 2^Al further from zero. Newly non-zero coefficients are +-2^Al.
int JpegDecoder::DecodeAcRefine() {
    eobRun = 0;
    acTable = &acTables[scanComponents[0].acSelector];
    const int32_t step = int32_t(1) << approxLow;
    uint32_t k = 0;
    int32_t* block = nullptr;
    // Corrects the coefficient at k when it is non-zero; false at a marker or the end.
    auto correct = [&](int32_t& coefficient) {
        int bit = in_.ReadBitOrMarker();
        if (bit < 0) return false;
        if (bit == 1) coefficient = Wrap32(int64_t(coefficient) + (coefficient > 0 ? step : -step));
        return true;
    };
    // Corrects non-zero coefficients from k on until a zero one (k stays on it) or the band end.
    auto skipNonZero = [&]() {
        while (k <= spectralEnd && block[ZigzagIndex(k)] != 0) {
            if (!correct(block[ZigzagIndex(k)])) return false;
            ++k;
        }
        return true;
    };

    for (uint32_t m = 0; m < mcuCount; ++m) {
        block = AcBlock(m);
        k = spectralStart;
        if (eobRun > 0) {
            --eobRun;
            for (; k <= spectralEnd; ++k)
                if (block[ZigzagIndex(k)] != 0 && !correct(block[ZigzagIndex(k)])) return 0;
            continue;
        }
        while (k <= spectralEnd) {
            int rs;
            if (!in_.DecodeSymbol(acTable, rs)) return status = 0;
            int run = rs >> 4, size = rs & 15;
            if (size == 0 && run < 15) {
                int32_t bits = 0;
                status = in_.ReceiveBits(run, bits);
                eobRun = (1u << run) + static_cast<uint32_t>(bits) - 1;
                for (; k <= spectralEnd; ++k)
                    if (block[ZigzagIndex(k)] != 0 && !correct(block[ZigzagIndex(k)])) return 0;
                break;
            }
            int32_t bits = 0;
            if (size != 0 && !in_.ReceiveBits(size, bits)) return status = 0;
            int zeros = size == 0 ? 16 : run;  // ZRL skips sixteen zeros
            for (int z = 0; z < zeros && k <= spectralEnd; ++z) {
                if (!skipNonZero()) return 0;
                if (k <= spectralEnd) ++k;
            }
            if (size == 0) continue;
            if (!skipNonZero()) return 0;
            if (k > spectralEnd) break;
            block[ZigzagIndex(k)] = Scaled(Extend(bits, size), approxLow);
            ++k;
        }
    }
    return 1;
}
