// Sequential scans: block decoding, interleaved MCUs, restart intervals.
#include <algorithm>

#include "jpeg_decoder.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

// One data unit with the current dcTable/acTable into `block` (natural order, cleared first).
int JpegDecoder::DecodeBlock(ScanComponent& c, int32_t* block) {
    std::fill(block, block + 64, 0);
    int size;
    if (!in_.DecodeSymbol(dcTable, size) || size > 15) return 0;
    int32_t diff = 0;
    if (size > 0) {
        int32_t bits;
        if (!in_.ReceiveBits(size, bits)) return 0;
        diff = Extend(bits, size);
    }
    c.dcPredictor = Wrap32(static_cast<int64_t>(c.dcPredictor) + diff);
    block[0] = c.dcPredictor;

    uint32_t k = 1;
    while (k < 64) {
        int rs;
        if (!in_.DecodeSymbol(acTable, rs)) return 0;
        int run = rs >> 4, bitCount = rs & 15;
        if (bitCount != 0) {
            k += run;  // a run past the end lands on coefficient 63 and ends the block
            int32_t bits;
            if (!in_.ReceiveBits(bitCount, bits)) return 0;
            block[ZigzagIndex(k)] = Extend(bits, bitCount);
            ++k;
        } else if (run == 15) {
            k += 16;
        } else {
            break;  // end of block: the rest stays zero
        }
    }
    return 1;
}

// One MCU of an interleaved scan. Every component is decoded even after one failed (the
// bits are consumed as they come), but a failed MCU writes no pixels.
int JpegDecoder::DecodeMcu() {
    uint32_t mcuNumber = intervalsDone * restartInterval + mcuIndex;
    int32_t chroma[3][64];
    bool ok = true;
    for (size_t i = 0; i < scanComponents.size(); ++i) {
        ScanComponent& c = scanComponents[i];
        dcTable = &dcTables[c.dcSelector];
        acTable = &acTables[c.acSelector];
        const int32_t* quant = quantTables[c.quantSelector];
        for (int n = 0; n < c.blocksPerMcu; ++n) {
            int32_t* block = c.index == 1 ? sampleArea[n] : chroma[i];
            if (!DecodeBlock(c, block)) {
                ok = false;
                break;
            }
            InverseDct(block, quant, c.index == 1 ? levelShift : 0);
        }
    }
    if (!ok || mcuNumber >= mcuCount) return 0;

    if (scanComponents.size() == 1) {
        WriteGrey(mcuNumber);
        return 1;
    }
    // The blue-difference pass stores the partial green that the red-difference pass ends.
    for (size_t i = 0; i < scanComponents.size(); ++i) {
        if (scanComponents[i].index == 2) BlueDifferencePass(chroma[i], mcuNumber);
        else if (scanComponents[i].index > 2) RedDifferencePass(chroma[i], mcuNumber);
    }
    return 1;
}

// Up to mcuLimit MCUs from a byte boundary with fresh predictors, then the next marker.
int JpegDecoder::DecodeInterval(uint32_t mcuLimit) {
    for (ScanComponent& c : scanComponents) c.dcPredictor = 0;
    in_.bitsLeft = 0;
    mcuIndex = 0;
    while (mcuIndex < mcuLimit) {
        if (!DecodeMcu()) {
            NextMarker();
            return 0;
        }
        ++mcuIndex;
    }
    return NextMarker();
}

// A scan with fewer components than the frame is blended into the picture; with restart
// markers such a scan is not supported and is refused before anything is written.
int JpegDecoder::DecodeSequentialScan() {
    bool interleaved = componentCount == scanComponents.size();
    intervalsDone = 0;
    if (restartInterval == 0) {
        restartInterval = mcuCount;
        int result = interleaved ? DecodeInterval(mcuCount) : DecodeNonInterleavedScan();
        restartInterval = 0;
        return result;
    }
    if (!interleaved) {
        Refuse(jpeg_text::kUnsupported);
        return 0;
    }
    return DecodeIntervals();
}

// Restart intervals. Every interval is placed by its number (MCU intervalsDone *
// restartInterval onward), so a damaged interval cannot shift the rest of the picture and
// intervals longer than an MCU row land where they belong. After a failed interval the
// number of the restart marker found tells how many intervals were lost.
int JpegDecoder::DecodeIntervals() {
    uint32_t intervals = static_cast<uint32_t>((uint64_t(mcuCount) + restartInterval - 1) / restartInterval);
    uint32_t remaining = intervals > 0 ? intervals - 1 : 0;
    int expected = 0xD0;
    while (remaining > 0) {
        --remaining;
        if (DecodeInterval(restartInterval) != 1) {
            if (in_.Beyond()) return 0;
            int found = in_.Peek();
            int lost = found - expected + (found < expected ? 8 : 0);
            for (; lost > 0 && remaining > 0; --lost) {
                ++intervalsDone;
                --remaining;
            }
        }
        ++intervalsDone;
        int code = in_.Peek();
        expected = code + 1 > 0xD7 ? 0xD0 : code + 1;
        in_.Advance(1);
    }
    uint32_t last = mcuCount - intervalsDone * restartInterval;
    return DecodeInterval(last);
}
