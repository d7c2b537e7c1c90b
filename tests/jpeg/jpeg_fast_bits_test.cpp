// The lookahead and word-wide readers against bit-by-bit decoding: on streams with stuffed
// bytes, markers and early ends they must return the same symbols and values and leave the
// reader in the same state (position, bits left, bit buffer).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "jpeg_fast_block.h"
#include "jpeg_fast_bits.h"
#include "jpeg_zigzag.h"

namespace {

// The luminance AC table of the JPEG examples, the worked example table, an over-full table
// (codes below the first code of their length) and one with only long codes.
std::vector<HuffmanTable> TestTables() {
    std::vector<HuffmanTable> tables(4);
    const uint8_t acCounts[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D};
    std::vector<uint8_t> acValues(162);
    for (size_t i = 0; i < acValues.size(); ++i) acValues[i] = static_cast<uint8_t>((i * 37 + 1) & 0xFF);
    BuildHuffmanTable(tables[0], acCounts, acValues.data());
    const uint8_t exampleCounts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1};
    const uint8_t exampleValues[12] = {0x00, 0x01, 0x12, 0x23, 0x34, 0x45, 0x56, 0x67, 0x78, 0x8F, 0xF0, 0x1A};
    BuildHuffmanTable(tables[1], exampleCounts, exampleValues);
    const uint8_t overfullCounts[16] = {3, 5, 0, 9};
    const uint8_t overfullValues[17] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 1, 2, 3, 4, 5, 6, 7, 8};
    BuildHuffmanTable(tables[2], overfullCounts, overfullValues);
    const uint8_t longCounts[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 30};
    std::vector<uint8_t> longValues(32);
    for (size_t i = 0; i < longValues.size(); ++i) longValues[i] = static_cast<uint8_t>(i * 8 + 3);
    BuildHuffmanTable(tables[3], longCounts, longValues.data());
    return tables;
}

// Entropy-coded bytes with stuffed 0xFF 0x00 pairs, the odd marker and fill byte.
std::vector<uint8_t> RandomStream(std::mt19937& random, size_t length) {
    std::vector<uint8_t> data;
    while (data.size() < length) {
        uint32_t r = random() % 100;
        if (r < 6) {
            data.push_back(0xFF);
            data.push_back(0x00);
        } else if (r == 6) {
            data.push_back(0xFF);
            data.push_back(static_cast<uint8_t>(0xD0 + random() % 8));
        } else if (r == 7) {
            data.push_back(0xFF);
        } else {
            data.push_back(static_cast<uint8_t>(random() & (r < 50 ? 0xFF : 0x0F)));
        }
    }
    return data;
}

// Huffman decoding one bit at a time through ReadBit, as the bit-serial decoder works.
int SerialSymbol(JpegInput& in, const HuffmanTable& t, int& symbol) {
    int bit;
    if (!in.ReadBit(bit)) return 0;
    int32_t code = bit;
    int i = 0;
    while (code > t.maxCode[i]) {
        if (++i == 16 || !in.ReadBit(bit)) return 0;
        code = (code << 1) + bit;
    }
    int32_t index = t.firstIndex[i] + code - t.minCode[i];
    if (code < t.minCode[i] || index < 0 || size_t(index) >= t.values.size()) return 0;
    symbol = t.values[size_t(index)];
    return in.Beyond() ? 0 : 1;
}

void ExpectSameState(const JpegInput& a, const JpegInput& b, const std::string& where) {
    EXPECT_EQ(a.pos, b.pos) << where;
    EXPECT_EQ(a.bitsLeft, b.bitsLeft) << where;
    if (a.bitsLeft > 0) {
        EXPECT_EQ(a.bitBuffer, b.bitBuffer) << where;
    }
}

}  // namespace

TEST(JpegFastBits, LookaheadSymbolsAndBitsMatchBitByBitDecoding) {
    std::vector<HuffmanTable> tables = TestTables();
    std::mt19937 random(7);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<uint8_t> data = RandomStream(random, 4 + random() % 60);
        const HuffmanTable& table = tables[trial % tables.size()];
        JpegInput lookahead, serial;
        lookahead.Reset(data.data(), data.size());
        serial.Reset(data.data(), data.size());
        for (int step = 0; step < 40; ++step) {
            std::string where = "trial " + std::to_string(trial) + " step " + std::to_string(step);
            if (random() % 3 == 0) {
                int n = static_cast<int>(random() % 17);
                int32_t fast = -1, slow = 0;
                int ok = lookahead.ReceiveBits(n, fast);
                uint32_t bits = 0;
                int serialOk = 1, bit = 0;
                for (int i = 0; i < n && serialOk; ++i) {
                    serialOk = serial.ReadBit(bit);
                    bits = (bits << 1) | uint32_t(bit);
                }
                slow = int32_t(bits);
                ASSERT_EQ(ok, serialOk) << where;
                if (!ok) break;  // the two readers fail at different points by design of ReadBit
                EXPECT_EQ(fast, slow) << where;
            } else {
                int fast = -1, slow = -1;
                int ok = lookahead.DecodeSymbol(&table, fast);
                ASSERT_EQ(ok, SerialSymbol(serial, table, slow)) << where;
                if (!ok) break;
                EXPECT_EQ(fast, slow) << where;
            }
            ExpectSameState(lookahead, serial, where);
        }
    }
}

// Decodes blocks of a random stream through FastBits and bit by bit; wherever the fast path
// finishes a block it must agree with the serial one in coefficients, predictor and state.
TEST(JpegFastBits, FastBlocksMatchTheBitSerialReaderOrStandAside) {
    std::vector<HuffmanTable> tables = TestTables();
    std::mt19937 random(11);
    int finished = 0, declined = 0;
    for (int trial = 0; trial < 600; ++trial) {
        std::vector<uint8_t> data = RandomStream(random, 8 + random() % 200);
        const HuffmanTable& dc = tables[1];
        const HuffmanTable& ac = tables[trial % 2 == 0 ? 0 : 3];
        JpegInput fastIn, serialIn;
        fastIn.Reset(data.data(), data.size());
        serialIn.Reset(data.data(), data.size());
        int32_t fastPredictor = 5, serialPredictor = 5;
        for (int blockNumber = 0; blockNumber < 8; ++blockNumber) {
            int32_t fastBlock[64] = {}, serialBlock[64] = {};
            bool acWritten = false;
            FastBits bits(fastIn);
            int32_t predictor = fastPredictor;
            bool fastOk = bits.Usable() && DecodeBlockFast(bits, dc, ac, predictor, fastBlock, acWritten) &&
                          !bits.Overran();
            // The serial reference: DC then AC, as the sequential block decoder reads them.
            int size = 0;
            bool serialOk = serialIn.DecodeSymbol(&dc, size) == 1 && size <= 15;
            int32_t diff = 0, value = 0;
            if (serialOk && size > 0) {
                serialOk = serialIn.ReceiveBits(size, value) == 1;
                diff = Extend(value, size);
            }
            serialPredictor += diff;
            serialBlock[0] = serialPredictor;
            for (uint32_t k = 1; serialOk && k < 64;) {
                int rs;
                if (!serialIn.DecodeSymbol(&ac, rs)) {
                    serialOk = false;
                    break;
                }
                int run = rs >> 4, n = rs & 15;
                if (n == 0 && run != 15) break;
                if (n == 0) {
                    k += 16;
                    continue;
                }
                k += run;
                if (!serialIn.ReceiveBits(n, value)) serialOk = false;
                else serialBlock[ZigzagIndex(k++)] = Extend(value, n);
            }
            if (!fastOk) {
                ++declined;
                break;  // the decoder would redo this block bit by bit
            }
            ++finished;
            ASSERT_TRUE(serialOk) << "trial " << trial;
            bits.Store();
            fastPredictor = predictor;
            EXPECT_EQ(fastPredictor, serialPredictor);
            for (int i = 0; i < 64; ++i) ASSERT_EQ(fastBlock[i], serialBlock[i]) << "trial " << trial << " at " << i;
            ExpectSameState(fastIn, serialIn, "trial " + std::to_string(trial));
        }
    }
    EXPECT_GT(finished, 100);
    EXPECT_GT(declined, 10);
}

TEST(JpegFastBits, WideZigzagTableEndsOnTheLastCoefficient) {
    for (uint32_t k = 0; k < 80; ++k) EXPECT_EQ(kZigzagWide[k], ZigzagIndex(k)) << k;
}
