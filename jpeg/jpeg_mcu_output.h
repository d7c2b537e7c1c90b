// Pixels of interleaved sequential MCUs from their decoded coefficients: the block transforms
// and the colour or grey output. Each McuOutput has its own scratch blocks, so the MCUs of one
// scan can be written by several threads at once: every MCU covers pixels of its own.
#pragma once
#include <algorithm>
#include <cstdint>

constexpr int kMaxMcuBlocks = 12;  // three scan components of up to four blocks each

// What a scan's MCUs need for their output; fixed for the whole scan.
struct McuLayout {
    int components = 0;        // scan components, 1 to 3
    uint8_t index[3] = {};     // 1-based frame position of each
    uint8_t blocks[3] = {};    // blocks per MCU of each
    int32_t quant[3][64] = {}; // pre-scaled quantisers of each
    bool quantChecked[3] = {}; // each table within kQuantiserLimit
    int32_t levelShift = 0;    // added to the luminance samples
    uint8_t* outputRow = nullptr;
    int32_t pitch = 0;
    uint32_t mcusAcross = 0;
    uint8_t h = 1, v = 1;      // luminance blocks across and down an MCU
    uint8_t reduction = 0;     // pixels written at 1 / 2^reduction of the frame's size (jpeg_reduced_output.h)

    int BlocksPerMcu() const { return blocks[0] + blocks[1] + blocks[2]; }
    // True when an MCU's pixels depend on its own blocks alone: the scan holds the luminance,
    // and no red-difference pass comes before a blue-difference one (that pass reads the
    // partial greens of the MCU before). Only such scans may be written by several threads.
    bool SelfContained() const;
    // Luminance blocks of an MCU, and whether it leaves partial greens behind.
    int LumaBlocks() const;
    bool LeavesGreens() const;
};

// An AC coefficient of a sequential scan (at most 15 magnitude bits) and its natural position
// in one word, and back.
inline uint32_t SparseEntry(uint32_t natural, int32_t value) { return (static_cast<uint32_t>(value) << 8) | natural; }
inline uint32_t EntryPosition(uint32_t entry) { return entry & 63; }
inline int32_t EntryValue(uint32_t entry) { return static_cast<int32_t>(entry) >> 8; }

// The coefficients of one MCU as entry lists: each block's DC value, and its AC entries in the
// order decoded, block after block, with the number of entries of each block (0 to 63). The
// decoding thread hands MCUs to the helper in this form: a few words cross between the cores
// instead of whole blocks.
struct SparseMcu {
    int32_t* dc;
    uint32_t* entries;
    uint8_t* counts;
    bool* acWritten;
};

class McuOutput {
public:
    void SetLayout(const McuLayout* layout) { layout_ = layout; }

    // Transforms the MCU's blocks (in scan order, natural coefficient order) and writes its
    // pixels. `acWritten[b]` false says block b holds only its DC value.
    void Write(const int32_t (*coefficients)[64], const bool* acWritten, uint32_t mcuNumber);

    // The same for `count` MCUs from entry lists that follow one another: MCU j's lists start
    // blocksPerMcu * j blocks on from `first`'s, its entries after those of the MCUs before.
    void WriteSparseRun(const SparseMcu& first, int blocksPerMcu, const uint32_t* mcuNumbers, int count);

    // Takes over what an MCU of a self-contained scan leaves in `other`'s scratch blocks, as if
    // this output had written that MCU: a later scan that is not self-contained reads it.
    void CarryFrom(const McuOutput& other);

private:
    bool Transform(const int32_t (*coefficients)[64], const bool* acWritten);
    // Blocks of an MCU that entry lists fill: at most the spread blocks hold.
    int SpreadBlocks() const { return std::min(layout_->BlocksPerMcu(), kMaxMcuBlocks); }
    uint32_t Spread(const SparseMcu& mcu, int32_t (*blocks)[64]) const;
    void WriteSpread(int32_t (*blocks)[64], const SparseMcu& mcu, uint32_t mcuNumber);
    uint8_t* PixelAt(uint32_t x, uint32_t y) const;
    template <class Pixel>
    void ForEachPixel(const int32_t* chroma, uint32_t mcuNumber, Pixel pixel);
    void BlueDifferencePass(const int32_t* chroma, uint32_t mcuNumber);
    void RedDifferencePass(const int32_t* chroma, uint32_t mcuNumber);

    const McuLayout* layout_ = nullptr;
    // Luminance blocks 0..3 (left to right, top to bottom), partial greens in 4..7.
    alignas(64) int32_t sampleArea_[8][64] = {};
    alignas(64) int32_t chroma_[3][64] = {};
    // Entry lists spread out into blocks, two MCUs' worth; all zero until spread.
    alignas(64) int32_t spread_[2][kMaxMcuBlocks][64] = {};
};
