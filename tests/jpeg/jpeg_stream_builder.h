// Hand-built JPEG streams for the unit tests: segments, and entropy-coded blocks with
// fixed-length test tables (DC sizes as 4-bit codes, AC run/size symbols as 8-bit codes).
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct TestComponent {
    uint8_t id, h, v, tq;
};
struct TestScanComponent {
    uint8_t id, td, ta;
};

class BitWriter {
public:
    void put(uint32_t bits, int count);  // most significant first; 0xFF is stuffed
    void flush();                        // pads the last byte with one-bits
    std::vector<uint8_t> bytes;

private:
    uint32_t pending_ = 0;
    int pendingCount_ = 0;
};

// Magnitude category and bits of a value, as the encoder writes them.
int magnitudeSize(int value);
uint32_t magnitudeBits(int value, int size);

// A block as zig-zag positions 1..63 with non-zero values, in order.
using AcList = std::vector<std::pair<int, int>>;

// Sequential: DC difference, then the AC list with ZRLs and an end-of-block when needed.
void putSequentialBlock(BitWriter& w, int dcDifference, const AcList& ac);
void putDcSymbol(BitWriter& w, int size);
void putDc(BitWriter& w, int difference);  // the size symbol and the magnitude bits
void putAcSymbol(BitWriter& w, int run, int size);

class JpegStreamBuilder {
public:
    JpegStreamBuilder& soi();
    JpegStreamBuilder& eoi();
    JpegStreamBuilder& marker(uint8_t code);
    JpegStreamBuilder& raw(const std::vector<uint8_t>& data);
    JpegStreamBuilder& segment(uint8_t code, const std::vector<uint8_t>& body);  // adds the length
    JpegStreamBuilder& dqtFlat(uint8_t table, uint16_t q, bool sixteenBit = false);
    JpegStreamBuilder& frame(uint8_t type, uint16_t width, uint16_t height, const std::vector<TestComponent>& c,
                             uint8_t precision = 8);
    JpegStreamBuilder& testTables(uint8_t table = 0);  // the DC and AC test tables
    JpegStreamBuilder& dri(uint16_t interval);
    JpegStreamBuilder& scan(const std::vector<TestScanComponent>& c, uint8_t ss = 0, uint8_t se = 63,
                            uint8_t ah = 0, uint8_t al = 0);
    JpegStreamBuilder& entropy(BitWriter& w);  // flushes w and appends its bytes

    std::vector<uint8_t> bytes;
};

// A baseline grey picture whose blocks (raster order) are DC-only with the given DC values,
// quantiser 8 (so a DC value d gives sample d + 128).
std::vector<uint8_t> greyDcPicture(uint16_t width, uint16_t height, const std::vector<int>& dcValues,
                                   uint16_t restartInterval = 0);
