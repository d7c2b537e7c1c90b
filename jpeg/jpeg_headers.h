// The frame and scan headers as the decoder reads them, and the MCU grids they give.
#pragma once
#include <cstdint>
#include <vector>

struct FrameComponent {
    uint8_t id = 0, h = 0, v = 0, quantSelector = 0;
};

// A start-of-frame segment. Sampling factors are 1 to 4, quantiser selectors 0 to 3.
struct FrameHeader {
    uint8_t type = 0;  // the marker code
    uint8_t precision = 0;
    uint32_t width = 0, height = 0;
    std::vector<FrameComponent> components;
    uint8_t maxH = 0, maxV = 0;  // largest sampling factors

    size_t componentCount() const { return components.size(); }
    // MCUs of the frame: each covers 8 maxH x 8 maxV pixels.
    // Both in 32-bit arithmetic: the decoder asks for them at every block of some scans.
    uint32_t mcusAcross() const { return CeilDiv(width, 8u * maxH); }
    uint32_t mcusDown() const { return CeilDiv(height, 8u * maxV); }
    static uint32_t CeilDiv(uint32_t n, uint32_t d) { return n / d + (n % d != 0 ? 1 : 0); }
    // The size rounded up to whole MCUs.
    uint64_t roundedWidth() const { return 8ull * maxH * mcusAcross(); }
    uint64_t roundedHeight() const { return 8ull * maxV * mcusDown(); }
    // Blocks of every component over the frame's MCUs.
    uint64_t blocks() const {
        uint64_t perMcu = 0;
        for (const FrameComponent& c : components) perMcu += uint64_t(c.h) * c.v;
        return uint64_t(mcusAcross()) * mcusDown() * perMcu;
    }
    // Added to luminance samples, in the transform's scale of 1024.
    int32_t levelShift() const { return (1 << (precision - 1)) << 10; }
};

struct ScanComponent {
    uint8_t index = 0;  // 1-based position of the component in the frame
    uint8_t dcSelector = 0, acSelector = 0;
    uint8_t h = 0, v = 0, blocksPerMcu = 0, quantSelector = 0;
    int32_t dcPredictor = 0;
};

// A start-of-scan segment and the scan's MCU grid. A scan of the first frame component alone
// has one block per MCU over that component's own blocks; any other scan uses the frame's grid.
struct ScanHeader {
    std::vector<ScanComponent> components;
    uint32_t spectralStart = 0, spectralEnd = 0;  // zig-zag band; a progressive DC scan ends at 0
    uint8_t approxHigh = 0, approxLow = 0;        // successive approximation
    bool lumaAlone = false;
    uint8_t maxH = 0, maxV = 0;  // the MCU's extent in blocks
    uint32_t mcusAcross = 0, mcusDown = 0, mcuCount = 0;

    // A progressive AC band that starts above its end reads and changes nothing.
    bool EmptyBand() const { return spectralEnd != 0 && spectralStart > spectralEnd; }
};
