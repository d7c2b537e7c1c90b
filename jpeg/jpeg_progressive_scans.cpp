// The four kinds of progressive scan: DC and AC, first and refinement.
// Each returns 1 when the scan is complete and 0 when the scan loop must stop.
#include "jpeg_decoder.h"
#include "jpeg_progressive_blocks.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

namespace {

int32_t Scaled(int32_t value, int shift) { return Wrap32(static_cast<int64_t>(value) * (int64_t(1) << shift)); }

// The reader of a DC scan, MCU by MCU: FastBits while the next marker is farther than an MCU
// can read (its bits are then exactly the bit-serial reader's), else the bit-serial JpegInput.
class DcScanReader {
public:
    // `blocksPerMcu`: the blocks of every component of the scan's MCU; a header may name up
    // to 255 components, the same one again and again.
    DcScanReader(JpegInput& in, uint64_t blocksPerMcu)
        : in_(in), fast_(in), mostBytesPerMcu_(kMostBytesPerBlock * blocksPerMcu + kSlackBytes) {
        active_ = fast_.Usable();
    }

    // The FastBits for the next MCU, or null when the MCU goes bit by bit through JpegInput.
    FastBits* ForMcu() {
        if (!active_) {
            fast_ = FastBits(in_);
            active_ = fast_.Usable();
        }
        if (active_ && fast_.FarFromLimit(mostBytesPerMcu_)) return &fast_;
        Finish();
        return nullptr;
    }
    // Hands the position back to JpegInput.
    void Finish() {
        if (active_) fast_.Store();
        active_ = false;
    }

private:
    // A block takes at most a 16-bit code and 15 magnitude bits, every byte doubled by stuffing.
    static constexpr uint64_t kMostBytesPerBlock = 8;
    static constexpr uint64_t kSlackBytes = 32;

    JpegInput& in_;
    FastBits fast_;
    uint64_t mostBytesPerMcu_;
    bool active_ = false;
};

uint64_t DcBlocksPerMcu(const std::vector<JpegDecoder::ScanComponent>& components) {
    uint64_t blocks = 0;
    for (const JpegDecoder::ScanComponent& c : components) blocks += c.index == 1 ? c.blocksPerMcu : 1;
    return blocks;
}

}  // namespace

// Block addressing sits beside the scans that call it for every block, so that it inlines.

// Place of block i of component c in MCU (mx, my) among its component's blocks.
size_t JpegDecoder::BlockIndex(const ScanComponent& c, uint32_t mx, uint32_t my, uint32_t i) const {
    if (c.index == 1) {
        size_t stride = size_t(maxH) * frameMcusAcross_;
        size_t row = lumaAlone_ ? my : size_t(maxV) * my + i / 2;
        size_t column = lumaAlone_ ? mx : size_t(maxH) * mx + i % 2;
        return row * stride + column;
    }
    return size_t(my) * mcusAcross + mx;
}

// The DC coefficient of block i of component c in MCU (mx, my): in the DC array while DC
// values are kept apart, else in the block.
int32_t& JpegDecoder::DcValue(const ScanComponent& c, uint32_t mx, uint32_t my, uint32_t i) {
    int component = c.index == 1 ? 0 : c.index == 2 ? 1 : 2;
    return dcBase_[component][BlockIndex(c, mx, my, i) * dcStride_];
}

// Block m of an AC scan, which decodes the first component of its header alone.
int32_t* JpegDecoder::AcBlock(uint32_t m) {
    const ScanComponent& c = scanComponents[0];
    if (lumaAlone_) return lumaBuffer + BlockIndex(c, m % mcusAcross, m / mcusAcross, 0) * 64;
    int32_t* buffer = c.index == 1 ? lumaBuffer : c.index == 2 ? cbBuffer : crBuffer;
    return buffer + size_t(m) * 64;
}

int JpegDecoder::DecodeDcFirst() {
    for (ScanComponent& c : scanComponents) c.dcPredictor = 0;
    DcScanReader reader(in_, DcBlocksPerMcu(scanComponents));
    for (uint32_t m = 0; m < mcuCount; ++m) {
        if (m == rowMark_) ReportRows(m);
        uint32_t mx = m % mcusAcross, my = m / mcusAcross;
        FastBits* fast = reader.ForMcu();
        for (ScanComponent& c : scanComponents) {
            dcTable = &dcTables[c.dcSelector];
            uint32_t blocks = c.index == 1 ? c.blocksPerMcu : 1;
            for (uint32_t i = 0; i < blocks; ++i) {
                int size;
                int32_t diff = 0;
                if (fast != nullptr) {
                    // A code outside the table: the bit-serial decoder fails on the same bits.
                    bool found = fast->Symbol(*dcTable, size);
                    if (!found || size > 15) {
                        reader.Finish();
                        if (!found) in_.DecodeSymbol(dcTable, size);
                        return status = 0;
                    }
                    if (size > 0) diff = Scaled(Extend(fast->Receive(size), size), approxLow);
                } else {
                    if (!in_.DecodeSymbol(dcTable, size) || size > 15) return status = 0;
                    if (size > 0) {
                        int32_t bits;
                        if (!in_.ReceiveBits(size, bits)) return status = 0;
                        diff = Scaled(Extend(bits, size), approxLow);
                    }
                }
                c.dcPredictor = Wrap32(int64_t(c.dcPredictor) + diff);
                DcValue(c, mx, my, i) = c.dcPredictor;
            }
        }
    }
    reader.Finish();
    return 1;
}

int JpegDecoder::DecodeDcRefine() {
    for (ScanComponent& c : scanComponents) c.dcPredictor = 0;
    DcScanReader reader(in_, DcBlocksPerMcu(scanComponents));
    for (uint32_t m = 0; m < mcuCount; ++m) {
        if (m == rowMark_) ReportRows(m);
        uint32_t mx = m % mcusAcross, my = m / mcusAcross;
        FastBits* fast = reader.ForMcu();
        for (ScanComponent& c : scanComponents) {
            dcTable = &dcTables[c.dcSelector];
            uint32_t blocks = c.index == 1 ? c.blocksPerMcu : 1;
            for (uint32_t i = 0; i < blocks; ++i) {
                int bit = fast != nullptr ? fast->Receive(1) : in_.ReadBitOrMarker();
                if (bit < 0) return 0;
                int32_t& dc = DcValue(c, mx, my, i);
                dc = Wrap32(int64_t(dc) + Scaled(bit, approxLow));
            }
        }
    }
    reader.Finish();
    return 1;
}

int JpegDecoder::DecodeAcFirst() {
    eobRun = 0;
    acTable = &acTables[scanComponents[0].acSelector];
    AcScan scan{acTable, spectralStart, spectralEnd, approxLow, eobRun, status};
    AcBlockRun run(in_, spectralStart, spectralEnd);
    for (uint32_t m = 0; m < mcuCount; ++m) {
        if (m == rowMark_) ReportRows(m);
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
    AcBlockRun run(in_, spectralStart, spectralEnd);
    for (uint32_t m = 0; m < mcuCount; ++m) {
        if (m == rowMark_) ReportRows(m);
        if (!run.Block<AcRefineBlock<FastSource>, AcRefineBlock<SerialSource>>(scan, AcBlock(m))) {
            run.Finish();
            return 0;
        }
    }
    run.Finish();
    return 1;
}
