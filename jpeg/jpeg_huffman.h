// Huffman tables of a DHT segment in the form the symbol decoder reads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kLookaheadBits = 10;

struct HuffmanTable {
    uint8_t counts[16] = {};      // codes of length 1 to 16
    int32_t maxCode[16] = {};     // largest code of each length, -1 when none
    int32_t minCode[16] = {};     // smallest code of each length, -1 when none
    int32_t firstIndex[16] = {};  // position in values of the first symbol of each length
    std::vector<uint8_t> values;  // symbols in code order
    std::vector<uint8_t> sizes;   // code length of each symbol, then a 0
    std::vector<int32_t> codes;   // code of each symbol
    bool defined = false;         // set once a DHT segment has filled the table
    // Lookahead by the next kLookaheadBits bits: (length << 8) | symbol for a code of that
    // many bits or fewer, kLongCode when the code is longer, kBadCode when decoding fails
    // within those bits.
    int16_t lookahead[1 << kLookaheadBits] = {};
    // For AC symbols whose code and magnitude bits both fit the lookahead: (coefficient << 16)
    // | (run << 8) | total bits, the coefficient 0 for symbols without magnitude; 0 for every
    // other prefix.
    int32_t valueLookahead[1 << kLookaheadBits] = {};
};

constexpr int16_t kLongCode = 0;
constexpr int16_t kBadCode = -1;

// Fills `table` from the 16 counts and their `values` (canonical code generation).
// `values` holds the sum of the counts; an empty list leaves every length empty.
void BuildHuffmanTable(HuffmanTable& table, const uint8_t counts[16], const uint8_t* values);

class JpegInput;

// One DHT segment after its marker code, its tables into dcTables or acTables (four each).
enum class HuffmanSegment { kRead, kCut, kDamaged };  // read; ran past the data; a bad class, slot or count
HuffmanSegment ReadHuffmanSegment(JpegInput& in, HuffmanTable dcTables[4], HuffmanTable acTables[4]);
