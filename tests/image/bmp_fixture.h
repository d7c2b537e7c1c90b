// Small BMP files built in memory for the tests.
#pragma once
#include <cstdint>
#include <vector>

struct BmpFixture {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
    int64_t pixelOffset = -1;          // -1: right after the colour table
    std::vector<uint8_t> colourTable;  // bytes as stored (4 or 3 per entry)
    std::vector<uint8_t> pixels;       // bytes as stored

    // The whole file. A 12-byte header stores width, height, planes and depth as 16-bit values.
    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> f;
        auto put16 = [&f](uint32_t v) {
            f.push_back(uint8_t(v));
            f.push_back(uint8_t(v >> 8));
        };
        auto put32 = [&](uint32_t v) {
            put16(v & 0xFFFF);
            put16(v >> 16);
        };
        const uint32_t headerEnd = 14 + headerSize;
        const uint32_t offset = pixelOffset >= 0 ? uint32_t(pixelOffset) : uint32_t(headerEnd + colourTable.size());
        f.push_back('B');
        f.push_back('M');
        put32(0);
        put32(0);
        put32(offset);
        put32(headerSize);
        if (headerSize == 12) {
            put16(uint32_t(width));
            put16(uint32_t(height));
            put16(planes);
            put16(bitCount);
        } else {
            put32(uint32_t(width));
            put32(uint32_t(height));
            put16(planes);
            put16(bitCount);
            put32(compression);
            put32(0);
            put32(2835);
            put32(2835);
            put32(clrUsed);
            put32(clrImportant);
            while (f.size() < headerEnd) f.push_back(0);  // the rest of a longer header
        }
        f.insert(f.end(), colourTable.begin(), colourTable.end());
        while (f.size() < offset) f.push_back(0);
        f.insert(f.end(), pixels.begin(), pixels.end());
        return f;
    }
};

// n colour entries of 4 bytes: entry i = (blue i, green 2i, red 3i, 0).
inline std::vector<uint8_t> rampTable(uint32_t n, uint32_t entrySize = 4) {
    std::vector<uint8_t> t;
    for (uint32_t i = 0; i < n; ++i) {
        t.push_back(uint8_t(i));
        t.push_back(uint8_t(2 * i));
        t.push_back(uint8_t(3 * i));
        if (entrySize == 4) t.push_back(0);
    }
    return t;
}
