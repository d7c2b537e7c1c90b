#include <cstdint>

#include "jpeg_decoder.h"
#include "jpeg_idct_simd.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

namespace {

uint32_t CeilDiv(uint32_t a, uint32_t b) { return static_cast<uint32_t>((uint64_t(a) + b - 1) / b); }

}  // namespace

// Frame header after its marker code. Probe (decoding = false) keeps the maxima in
// scanMaxH/scanMaxV; Decode also requires the rounded size to be the picture's.
int JpegDecoder::ReadFrameHeader(bool decoding) {
    uint32_t lf = in_.ReadU16();
    precision = in_.ReadU8();
    height = in_.ReadU16();
    width = in_.ReadU16();
    componentCount = in_.ReadU8();
    if (in_.Beyond()) return 0;
    if (precision <= 1 || precision > 16 || width == 0 || componentCount == 0 ||
        static_cast<int32_t>(lf) - 8 != 3 * componentCount) {
        Refuse(errorText.c_str());
        return 0;
    }
    levelShift = (1 << (precision - 1)) << 10;

    frameComponents.assign(componentCount, FrameComponent());
    maxH = maxV = 0;
    bool valid = true;
    for (FrameComponent& c : frameComponents) {
        c.id = in_.ReadU8();
        uint8_t sampling = in_.ReadU8();
        c.h = sampling >> 4;
        c.v = sampling & 15;
        c.quantSelector = in_.ReadU8();
        if (c.h > maxH) maxH = c.h;
        if (c.v > maxV) maxV = c.v;
        if (c.h == 0 || c.h > 4 || c.v == 0 || c.v > 4 || c.quantSelector > 3) valid = false;
    }
    if (in_.Beyond()) return 0;
    if (!valid) {
        Refuse(errorText.c_str());
        return 0;
    }
    scanMaxH = maxH;
    scanMaxV = maxV;
    if (!decoding) return 1;

    uint64_t roundedWidth = 8ull * maxH * CeilDiv(width, 8u * maxH);
    uint64_t roundedHeight = 8ull * maxV * CeilDiv(height, 8u * maxV);
    if (roundedWidth != pictureWidth_ || roundedHeight != pictureHeight_) return 0;
    uint64_t frameMcus = (roundedWidth / (8u * maxH)) * (roundedHeight / (8u * maxV));
    uint64_t blocksPerMcu = 0;
    for (const FrameComponent& c : frameComponents) blocksPerMcu += uint64_t(c.h) * c.v;
    frameBlocks_ = frameMcus * blocksPerMcu;
    frameAccepted_ = true;
    return 1;
}

int JpegDecoder::ReadQuantTables() {
    int32_t remaining = static_cast<int32_t>(in_.ReadU16()) - 2;
    while (remaining > 0) {
        uint8_t pqTq = in_.ReadU8();
        int pq = pqTq >> 4, tq = pqTq & 15;
        if (pq > 1 || tq > 3) {
            Refuse(errorText.c_str());
            return 0;
        }
        for (int k = 0; k < 64; ++k)
            quantTables[tq][kZigzag[k]] = static_cast<int32_t>(pq ? in_.ReadU16() : in_.ReadU8());
        remaining -= pq ? 129 : 65;
        PrescaleQuantTable(quantTables[tq], scaleTable);
        quantInRange[tq] = WithinQuantiserLimit(quantTables[tq]);
    }
    return in_.Beyond() ? 0 : 1;
}

int JpegDecoder::ReadHuffmanTables() {
    int32_t remaining = static_cast<int32_t>(in_.ReadU16()) - 2;
    uint8_t values[16 * 255];
    while (remaining > 0) {
        uint8_t tcTh = in_.ReadU8();
        int tc = tcTh >> 4, th = tcTh & 15;
        if (tc > 1 || th > 3) {
            Refuse(errorText.c_str());
            return 0;
        }
        uint8_t counts[16];
        int32_t total = 0;
        for (int i = 0; i < 16; ++i) total += counts[i] = in_.ReadU8();
        remaining -= 17;
        if (total > remaining) {
            Refuse(errorText.c_str());
            return 0;
        }
        for (int32_t i = 0; i < total; ++i) values[i] = in_.ReadU8();
        remaining -= total;
        if (in_.Beyond()) return 0;
        BuildHuffmanTable(tc == 0 ? dcTables[th] : acTables[th], counts, values);
    }
    return 1;
}

int JpegDecoder::ReadRestartInterval() {
    if (in_.ReadU16() != 4) return 0;
    restartInterval = in_.ReadU16();
    return in_.Beyond() ? 0 : 1;
}

int JpegDecoder::ReadApp0() {
    uint32_t length = in_.ReadU16();
    if (length < 16) return 0;
    in_.Advance(14);
    in_.Advance(length - 16);
    return in_.Beyond() ? 0 : 1;
}

// APP1..APP15 and COM: skipped whole by their length; not read.
int JpegDecoder::SkipSegment() {
    size_t start = in_.pos;
    in_.SetPos(start + in_.ReadU16());
    return 1;
}

int JpegDecoder::ReadScanHeader() {
    in_.Advance(2);
    uint8_t count = in_.ReadU8();
    scanComponents.assign(count, ScanComponent());
    std::vector<uint8_t> ids(count);
    bool selectorsValid = true;
    for (uint8_t i = 0; i < count; ++i) {
        ids[i] = in_.ReadU8();
        uint8_t tables = in_.ReadU8();
        scanComponents[i].dcSelector = tables >> 4;
        scanComponents[i].acSelector = tables & 15;
        if ((tables >> 4) > 3 || (tables & 15) > 3) selectorsValid = false;
    }
    spectralStart = in_.ReadU8();
    spectralEnd = in_.ReadU8();
    uint8_t approx = in_.ReadU8();
    approxHigh = approx >> 4;
    approxLow = approx & 15;
    if (count == 0 || !selectorsValid || in_.Beyond()) return 0;

    scanMaxH = maxH;
    scanMaxV = maxV;
    if (count == 1 && ids[0] == frameComponents[0].id) {
        ScanComponent& c = scanComponents[0];
        c.index = 1;
        c.h = c.v = c.blocksPerMcu = 1;
        c.quantSelector = frameComponents[0].quantSelector;
        scanMaxH = scanMaxV = 1;
        lumaAlone_ = true;
        mcusAcross = CeilDiv(width, 8);
        mcusDown = CeilDiv(height, 8);
    } else {
        for (uint8_t i = 0; i < count; ++i) {
            size_t found = 0;
            while (found < frameComponents.size() && frameComponents[found].id != ids[i]) ++found;
            if (found == frameComponents.size()) return 0;
            ScanComponent& c = scanComponents[i];
            const FrameComponent& f = frameComponents[found];
            c.index = static_cast<uint8_t>(found + 1);
            c.h = f.h;
            c.v = f.v;
            c.quantSelector = f.quantSelector;
            c.blocksPerMcu = static_cast<uint8_t>(f.h * f.v);
        }
        lumaAlone_ = false;
        mcusAcross = CeilDiv(width, 8u * scanMaxH);
        mcusDown = CeilDiv(height, 8u * scanMaxV);
    }
    mcuCount = mcusAcross * mcusDown;
    return 1;
}
