// Progressive AC blocks three ways: position by position, by the non-zero mask, and through
// the fast bit buffer with its bit-by-bit redo. On random blocks and random streams (stuffing,
// markers, early ends) all must leave the same coefficients, end-of-band run, status and
// reader position.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "jpeg_progressive_blocks.h"

namespace {

// A table where every symbol has a short code, so that random bits make useful scans: runs 0
// to 15 with sizes 0 and 1 (refinement symbols), and end-of-band runs.
HuffmanTable RefinementTable() {
    std::vector<uint8_t> values;
    for (int run = 0; run < 16; ++run) values.push_back(static_cast<uint8_t>(run << 4 | 1));
    for (int run = 0; run < 15; ++run) values.push_back(static_cast<uint8_t>(run << 4));
    values.push_back(0xF0);  // ZRL
    const uint8_t counts[16] = {0, 0, 0, 0, 8, 24};
    HuffmanTable table;
    BuildHuffmanTable(table, counts, values.data());
    return table;
}

// A first-scan table with sizes up to 4.
HuffmanTable FirstScanTable() {
    std::vector<uint8_t> values;
    for (int run = 0; run < 16; ++run)
        for (int size = 1; size <= 4; ++size) values.push_back(static_cast<uint8_t>(run << 4 | size));
    for (int run = 0; run < 15; ++run) values.push_back(static_cast<uint8_t>(run << 4));
    values.push_back(0xF0);
    const uint8_t counts[16] = {0, 0, 0, 0, 0, 32, 48};
    HuffmanTable table;
    BuildHuffmanTable(table, counts, values.data());
    return table;
}

std::vector<uint8_t> RandomData(std::mt19937& random, size_t length) {
    std::vector<uint8_t> data;
    uint32_t markerOdds = length > 1000 ? 4000 : 200;
    while (data.size() < length) {
        uint32_t r = random() % markerOdds;
        if (r < 4) {
            data.push_back(0xFF);
            data.push_back(0x00);
        } else if (r == 4) {
            data.push_back(0xFF);
            data.push_back(0xD1);
        } else {
            data.push_back(static_cast<uint8_t>(random()));
        }
    }
    return data;
}

// Blocks with earlier scans' coefficients: multiples of 2^(Al+1), about a third non-zero.
std::vector<int32_t> RandomBlocks(std::mt19937& random, int count, int approxLow) {
    std::vector<int32_t> blocks(size_t(count) * 64, 0);
    for (int32_t& c : blocks)
        if (random() % 3 == 0) c = (int32_t(random() % 9) - 4) * (2 << approxLow);
    return blocks;
}

// The scan of one trial: Al cycles through 0 to 2; the band starts at 1 to `starts` and, one
// trial in `shortEvery`, is up to `widths` wide instead of running to 63. Short data meet the
// marker within the scan; long data fail far from it.
struct RandomScan {
    uint8_t approxLow;
    uint32_t start, end;
    std::vector<uint8_t> data;
};

RandomScan MakeRandomScan(std::mt19937& random, int trial, uint32_t starts, int shortEvery, uint32_t widths) {
    RandomScan s;
    s.approxLow = static_cast<uint8_t>(trial % 3);
    s.start = 1 + random() % starts;
    s.end = trial % shortEvery == 0 ? s.start + random() % widths : 63;
    s.data = RandomData(random, trial % 2 ? 20 + random() % 300 : 1500 + random() % 3000);
    return s;
}

struct Outcome {
    std::vector<int32_t> blocks;
    uint32_t eobRun = 0;
    int status = 1, result = 1;
    size_t pos = 0;
    uint8_t bitsLeft = 0, bitBuffer = 0;
    int decoded = 0;  // blocks done before the scan stopped
};

template <class Decode>
Outcome DecodeScan(const RandomScan& s, std::vector<int32_t> blocks, const HuffmanTable& table, Decode decode) {
    Outcome o;
    JpegInput in;
    in.Reset(s.data.data(), s.data.size());
    AcScan scan{&table, s.start, s.end, s.approxLow, 0, true};
    int count = static_cast<int>(blocks.size() / 64);
    o.result = decode(in, scan, blocks.data(), count, o.decoded);
    o.eobRun = scan.eobRun;
    o.status = scan.status;
    o.blocks = blocks;
    o.pos = in.pos;
    o.bitsLeft = in.bitsLeft;
    o.bitBuffer = in.bitsLeft ? in.bitBuffer : 0;
    return o;
}

void ExpectSame(const Outcome& a, const Outcome& b, const std::string& what) {
    EXPECT_EQ(a.result, b.result) << what;
    EXPECT_EQ(a.decoded, b.decoded) << what;
    EXPECT_EQ(a.eobRun, b.eobRun) << what;
    EXPECT_EQ(a.status, b.status) << what;
    EXPECT_EQ(a.pos, b.pos) << what;
    EXPECT_EQ(a.bitsLeft, b.bitsLeft) << what;
    EXPECT_EQ(a.bitBuffer, b.bitBuffer) << what;
    EXPECT_EQ(a.blocks, b.blocks) << what;
}

// Blocks one after another through `block`, stopping where the scan would.
template <bool (*Block)(SerialSource&, AcScan&, int32_t*)>
int SerialBlocks(JpegInput& in, AcScan& scan, int32_t* blocks, int count, int& decoded) {
    SerialSource source{in};
    for (decoded = 0; decoded < count; ++decoded)
        if (!Block(source, scan, blocks + 64 * decoded)) return 0;
    return 1;
}

template <bool (*Fast)(FastSource&, AcScan&, int32_t*), bool (*Serial)(SerialSource&, AcScan&, int32_t*)>
int FastBlocks(JpegInput& in, AcScan& scan, int32_t* blocks, int count, int& decoded) {
    AcBlockRun run(in, scan.start, scan.end);
    for (decoded = 0; decoded < count; ++decoded) {
        if (!run.Block<Fast, Serial>(scan, blocks + 64 * decoded)) {
            run.Finish();
            return 0;
        }
    }
    run.Finish();
    return 1;
}

}  // namespace

TEST(JpegProgressiveBlocks, RefinementByMaskAndFastBufferMatchesPositionByPosition) {
    HuffmanTable table = RefinementTable();
    std::mt19937 random(17);
    for (int trial = 0; trial < 300; ++trial) {
        const RandomScan s = MakeRandomScan(random, trial, 8, 5, 6);
        std::vector<int32_t> blocks = RandomBlocks(random, 80, s.approxLow);
        std::string what = "trial " + std::to_string(trial);
        Outcome positions = DecodeScan(s, blocks, table, SerialBlocks<AcRefinePositions<SerialSource>>);
        ExpectSame(positions, DecodeScan(s, blocks, table, SerialBlocks<AcRefineMasked<SerialSource>>), what + " (mask)");
        ExpectSame(positions,
                   DecodeScan(s, blocks, table, FastBlocks<AcRefineBlock<FastSource>, AcRefineBlock<SerialSource>>),
                   what + " (fast)");
    }
}

TEST(JpegProgressiveBlocks, FirstScansThroughTheFastBufferMatchBitByBit) {
    HuffmanTable table = FirstScanTable();
    std::mt19937 random(19);
    for (int trial = 0; trial < 300; ++trial) {
        const RandomScan s = MakeRandomScan(random, trial, 4, 4, 10);
        std::vector<int32_t> blocks(80 * 64, 0);
        // The scan loop itself counts end-of-band runs down; here every block is decoded.
        auto serial = [](JpegInput& in, AcScan& scan, int32_t* b, int count, int& decoded) {
            return SerialBlocks<AcFirstBlock<SerialSource>>(in, scan, b, count, decoded);
        };
        auto fast = [](JpegInput& in, AcScan& scan, int32_t* b, int count, int& decoded) {
            return FastBlocks<AcFirstBlock<FastSource>, AcFirstBlock<SerialSource>>(in, scan, b, count, decoded);
        };
        ExpectSame(DecodeScan(s, blocks, table, serial), DecodeScan(s, blocks, table, fast),
                   "trial " + std::to_string(trial));
    }
}
