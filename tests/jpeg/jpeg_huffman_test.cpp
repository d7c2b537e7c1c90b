// Huffman table construction and the bit reader.
#include <gtest/gtest.h>

#include "jpeg_huffman.h"
#include "jpeg_input.h"

TEST(JpegHuffman, CanonicalCodesOfTheExampleTable) {
    const uint8_t counts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1};
    const uint8_t values[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    HuffmanTable t;
    BuildHuffmanTable(t, counts, values);
    const int32_t codes[12] = {0b00, 0b010, 0b011, 0b100, 0b101, 0b110, 0b1110, 0b11110, 0b111110,
                               0b1111110, 0b11111110, 0b111111110};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(t.codes[i], codes[i]) << i;
    EXPECT_EQ(t.maxCode[0], -1);
    EXPECT_EQ(t.minCode[0], -1);
    EXPECT_EQ(t.minCode[2], 0b010);
    EXPECT_EQ(t.maxCode[2], 0b110);
    EXPECT_EQ(t.firstIndex[2], 1);
    EXPECT_EQ(t.sizes.size(), 13u);
    EXPECT_EQ(t.sizes.back(), 0);

    // Decoding walks the same codes: 010 -> 1, 111111110 -> 11, 00 -> 0 (then padding).
    const uint8_t data[] = {0b01011111, 0b11100011, 0xFF, 0x00};
    JpegInput in;
    in.Reset(data, sizeof data);
    int symbol = -1;
    ASSERT_TRUE(in.DecodeSymbol(&t, symbol));
    EXPECT_EQ(symbol, 1);
    ASSERT_TRUE(in.DecodeSymbol(&t, symbol));
    EXPECT_EQ(symbol, 11);
    ASSERT_TRUE(in.DecodeSymbol(&t, symbol));
    EXPECT_EQ(symbol, 0);
}

TEST(JpegHuffman, EmptyAndUndefinedTablesDecodeNothing) {
    const uint8_t counts[16] = {};
    HuffmanTable empty;
    BuildHuffmanTable(empty, counts, nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(empty.maxCode[i], -1);
    const uint8_t data[] = {0x00, 0x00, 0x00};
    JpegInput in;
    in.Reset(data, sizeof data);
    int symbol;
    EXPECT_FALSE(in.DecodeSymbol(&empty, symbol));  // no code of any length
    HuffmanTable undefined;
    in.Reset(data, sizeof data);
    EXPECT_FALSE(in.DecodeSymbol(&undefined, symbol));
    EXPECT_EQ(in.pos, 0u);  // fails before reading
}

TEST(JpegHuffman, AllOnesCodeFailsAfterSixteenBits) {
    const uint8_t counts[16] = {0, 0, 0, 12};
    const uint8_t values[12] = {};
    HuffmanTable t;
    BuildHuffmanTable(t, counts, values);
    const uint8_t data[] = {0xFF, 0x00, 0xFF, 0x00, 0x12};
    JpegInput in;
    in.Reset(data, sizeof data);
    int symbol;
    EXPECT_FALSE(in.DecodeSymbol(&t, symbol));
    EXPECT_EQ(in.pos, 4u);  // two stuffed bytes, sixteen one-bits
}

TEST(JpegBits, StuffedByteAndMarkers) {
    const uint8_t data[] = {0xFF, 0x00, 0xA5, 0xFF, 0xD3};
    JpegInput in;
    in.Reset(data, sizeof data);
    int32_t v;
    ASSERT_TRUE(in.ReceiveBits(8, v));
    EXPECT_EQ(v, 0xFF);  // 0xFF 0x00 reads as eight one-bits
    ASSERT_TRUE(in.ReceiveBits(4, v));
    EXPECT_EQ(v, 0xA);
    ASSERT_TRUE(in.ReceiveBits(4, v));
    EXPECT_EQ(v, 0x5);
    EXPECT_FALSE(in.ReceiveBits(1, v));  // a marker
    EXPECT_EQ(in.pos, 5u);

    in.Reset(data + 3, 2);
    EXPECT_EQ(in.ReadBitOrMarker(), -1);
    EXPECT_EQ(in.bitsLeft, 0);
}

TEST(JpegBits, EndOfDataFailsEveryReader) {
    const uint8_t data[] = {0x80, 0xFF};
    JpegInput in;
    in.Reset(data, 1);
    int bit;
    ASSERT_TRUE(in.ReadBit(bit));
    EXPECT_EQ(bit, 1);
    int32_t v;
    EXPECT_FALSE(in.ReceiveBits(9, v));
    EXPECT_TRUE(in.Beyond());
    in.Reset(data, 1);
    in.bitsLeft = 0;
    EXPECT_TRUE(in.ReceiveBits(8, v));
    EXPECT_EQ(in.ReadBitOrMarker(), -1);
    EXPECT_TRUE(in.Beyond());
    // A final 0xFF whose second byte lies past the end is the end, not stuffing.
    in.Reset(data + 1, 1);
    EXPECT_FALSE(in.ReadBit(bit));
}

TEST(JpegBits, ExtendMakesNegativeValues) {
    EXPECT_EQ(Extend(0, 1), -1);
    EXPECT_EQ(Extend(1, 1), 1);
    EXPECT_EQ(Extend(0, 2), -3);
    EXPECT_EQ(Extend(5, 3), 5);
    EXPECT_EQ(Extend(0, 15), -32767);
}
