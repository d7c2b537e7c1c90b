// The four kinds of progressive scan: DC and AC, first and refinement.
// Each returns 1 when the scan is complete and 0 when the scan loop must stop.
#include "jpeg_decoder.h"
#include "jpeg_progressive_blocks.h"
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
    AcScan scan{acTable, spectralStart, spectralEnd, approxLow, eobRun, status};
    AcBlockRun run(in_);
    for (uint32_t m = 0; m < mcuCount; ++m) {
        int32_t* block = AcBlock(m);
        if (eobRun > 0) {
            --eobRun;
            continue;
        }
        if (!run.Block<AcFirstBlock<FastSource>, AcFirstBlock<SerialSource>>(scan, block)) {
            run.Finish();
            return 0;
        }
    }
    run.Finish();
    return 1;
}

// Refinement of AC coefficients, block by block (see AcRefineBlock).
int JpegDecoder::DecodeAcRefine() {
    eobRun = 0;
    acTable = &acTables[scanComponents[0].acSelector];
    AcScan scan{acTable, spectralStart, spectralEnd, approxLow, eobRun, status};
    AcBlockRun run(in_);
    for (uint32_t m = 0; m < mcuCount; ++m) {
        if (!run.Block<AcRefineBlock<FastSource>, AcRefineBlock<SerialSource>>(scan, AcBlock(m))) {
            run.Finish();
            return 0;
        }
    }
    run.Finish();
    return 1;
}
