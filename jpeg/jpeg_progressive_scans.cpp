// The four kinds of progressive scan: DC and AC, first and refinement.
// Each returns true when the scan is complete and false when the scan loop must stop.
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

uint64_t DcBlocksPerMcu(const std::vector<ScanComponent>& components) {
    uint64_t blocks = 0;
    for (const ScanComponent& c : components) blocks += c.index == 1 ? c.blocksPerMcu : 1;
    return blocks;
}

}  // namespace

// Block addressing sits beside the scans that call it for every block, so that it inlines.

// Place of block i of component c in MCU (mx, my) among its component's blocks.
size_t JpegDecoder::BlockIndex(const ScanComponent& c, uint32_t mx, uint32_t my, uint32_t i) const {
    if (c.index == 1) {
        const size_t stride = progressive_.lumaStride;
        size_t row = scan_.lumaAlone ? my : size_t(frame_.maxV) * my + i / 2;
        size_t column = scan_.lumaAlone ? mx : size_t(frame_.maxH) * mx + i % 2;
        return row * stride + column;
    }
    return size_t(my) * scan_.mcusAcross + mx;
}

// Where the DC coefficient of block i of component c in MCU (mx, my) is: in the DC array
// while DC values are kept apart, else in the block.
size_t JpegDecoder::DcOffset(const ScanComponent& c, uint32_t mx, uint32_t my, uint32_t i) const {
    const CoefficientLayout& l = progressive_.coefficients;
    int component = c.index == 1 ? 0 : c.index == 2 ? 1 : 2;
    return l.dcBase[component] + BlockIndex(c, mx, my, i) * l.dcStride;
}

// Stores a DC value, widening a 16-bit store first when the value does not fit it. False when
// widening fails, the value unstored.
bool JpegDecoder::StoreDc(size_t offset, int32_t value) {
    CoefficientLayout& l = progressive_.coefficients;
    const uint64_t magnitude = value < 0 ? uint64_t(-int64_t(value)) : uint64_t(value);
    if (magnitude > progressive_.peak) progressive_.peak = magnitude;
    if (!l.wide) {
        if (value >= INT16_MIN && value <= INT16_MAX) {
            *l.At<int16_t>(offset) = static_cast<int16_t>(value);
            return true;
        }
        if (!WidenCoefficients()) return false;
    }
    *l.At<int32_t>(offset) = value;
    return true;
}

// Block m of an AC scan, which decodes the first component of its header alone.
template <class T>
T* JpegDecoder::AcBlock(uint32_t m) {
    const ScanComponent& c = scan_.components[0];
    const CoefficientLayout& l = progressive_.coefficients;
    if (scan_.lumaAlone) return l.At<T>(l.buffers[0]) + BlockIndex(c, m % scan_.mcusAcross, m / scan_.mcusAcross, 0) * 64;
    return l.At<T>(l.buffers[c.index == 1 ? 0 : c.index == 2 ? 1 : 2]) + size_t(m) * 64;
}

// Called at every MCU or block of a scan: at each new row of the scan's grid (see RowPassed).
inline void JpegDecoder::PassRow(uint32_t m) {
    if (m == progressive_.rowMark) RowPassed(m);
}

// The scan that feeds the helper's last scan hands it the blocks before m, the last scan
// itself hands the emission the rows.
void JpegDecoder::RowPassed(uint32_t m) {
    if (progressive_.feeding) scanAhead_.Feed(m);
    else emission_.Release(RowsPassed(m));
    progressive_.rowMark += scan_.mcusAcross;
}

// The blocks of a DC scan in order: every MCU, every component of the header, each of the
// component's blocks in the MCU. `read(fast, reader, c, dc)` reads one block into its DC
// value `dc`, through `fast` or, when it is null, bit by bit; false ends the scan. The value
// is then stored, which may widen the store (and ends the scan when that fails).
template <class ReadBlock>
bool JpegDecoder::ForEachDcBlock(ReadBlock read) {
    for (ScanComponent& c : scan_.components) c.dcPredictor = 0;
    DcScanReader reader(in_, DcBlocksPerMcu(scan_.components));
    for (uint32_t m = 0; m < scan_.mcuCount; ++m) {
        PassRow(m);
        uint32_t mx = m % scan_.mcusAcross, my = m / scan_.mcusAcross;
        FastBits* fast = reader.ForMcu();
        for (ScanComponent& c : scan_.components) {
            dcTable_ = &dcTables_[c.dcSelector];
            uint32_t blocks = c.index == 1 ? c.blocksPerMcu : 1;
            for (uint32_t i = 0; i < blocks; ++i) {
                const CoefficientLayout& l = progressive_.coefficients;
                const size_t at = DcOffset(c, mx, my, i);
                int32_t dc = l.wide ? *l.At<int32_t>(at) : *l.At<int16_t>(at);
                if (!read(fast, reader, c, dc)) return false;
                if (!StoreDc(at, dc)) {
                    reader.Finish();
                    progressive_.status = false;
                    return false;
                }
            }
        }
    }
    reader.Finish();
    return true;
}

// Each block's difference from the component's predictor, 2^Al times the coded one.
bool JpegDecoder::DecodeDcFirst() {
    return ForEachDcBlock([this](FastBits* fast, DcScanReader& reader, ScanComponent& c, int32_t& dc) {
        int size;
        int32_t diff = 0;
        if (fast != nullptr) {
            // A code outside the table: the bit-serial decoder fails on the same bits.
            bool found = fast->Symbol(*dcTable_, size);
            if (!found || size > 15) {
                reader.Finish();
                if (!found) in_.DecodeSymbol(dcTable_, size);
                progressive_.status = false;
                return false;
            }
            if (size > 0) diff = Scaled(Extend(fast->Receive(size), size), scan_.approxLow);
        } else {
            int32_t bits = 0;
            if (!in_.DecodeSymbol(dcTable_, size) || size > 15 || (size > 0 && !in_.ReceiveBits(size, bits))) {
                progressive_.status = false;
                return false;
            }
            if (size > 0) diff = Scaled(Extend(bits, size), scan_.approxLow);
        }
        c.dcPredictor = Wrap32(int64_t(c.dcPredictor) + diff);
        dc = c.dcPredictor;
        return true;
    });
}

// One bit per block adds 2^Al. A bit that meets a marker stops the scan and leaves the last
// step's result.
bool JpegDecoder::DecodeDcRefine() {
    return ForEachDcBlock([this](FastBits* fast, DcScanReader&, ScanComponent&, int32_t& dc) {
        int bit = fast != nullptr ? fast->Receive(1) : in_.ReadBitOrMarker();
        if (bit < 0) return false;
        dc = Wrap32(int64_t(dc) + Scaled(bit, scan_.approxLow));
        return true;
    });
}

// The blocks of an AC scan one by one, in the order AcBlock places them; the scan's state goes
// back to the driver.
template <class T, bool (*Fast)(FastSource&, AcScan&, T*), bool (*Serial)(SerialSource&, AcScan&, T*),
          bool kFirstScan>
bool JpegDecoder::DecodeAcBlocks() {
    acTable_ = &acTables_[scan_.components[0].acSelector];
    AcScan scan{acTable_, scan_.spectralStart, scan_.spectralEnd, scan_.approxLow, 0, progressive_.status};
    const size_t stride = (scan_.lumaAlone ? progressive_.lumaStride : size_t(scan_.mcusAcross)) * 64;
    const bool complete = DecodeAcBlockRows<T, Fast, Serial, kFirstScan>(
        in_, scan, AcBlock<T>(0), stride, scan_.mcusAcross, scan_.mcuCount, [this](uint32_t m) {
            PassRow(m);
            return true;
        });
    progressive_.status = scan.status;
    return complete;
}

// The store's width is settled before an AC scan, so each scan runs at one width.
bool JpegDecoder::DecodeAcFirst() {
    if (progressive_.coefficients.wide)
        return DecodeAcBlocks<int32_t, AcFirstBlock<FastSource, int32_t>, AcFirstBlock<SerialSource, int32_t>, true>();
    return DecodeAcBlocks<int16_t, AcFirstBlock<FastSource, int16_t>, AcFirstBlock<SerialSource, int16_t>, true>();
}

// Refinement of AC coefficients, block by block (see AcRefineBlock).
bool JpegDecoder::DecodeAcRefine() {
    if (progressive_.coefficients.wide)
        return DecodeAcBlocks<int32_t, AcRefineBlock<FastSource, int32_t>, AcRefineBlock<SerialSource, int32_t>, false>();
    return DecodeAcBlocks<int16_t, AcRefineBlock<FastSource, int16_t>, AcRefineBlock<SerialSource, int16_t>, false>();
}
