#include <cstdint>

#include "jpeg_decoder.h"
#include "jpeg_idct_simd.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

namespace {

uint32_t CeilDiv(uint32_t a, uint32_t b) { return static_cast<uint32_t>((uint64_t(a) + b - 1) / b); }

}  // namespace

// Frame header after its marker code, into frame_ (its type is the caller's).
bool JpegDecoder::ReadFrameHeader() {
    uint32_t lf = in_.ReadU16();
    frame_.precision = in_.ReadU8();
    frame_.height = in_.ReadU16();
    frame_.width = in_.ReadU16();
    uint8_t count = in_.ReadU8();
    if (in_.Beyond()) return false;
    if (frame_.precision <= 1 || frame_.precision > 16 || frame_.width == 0 || count == 0 ||
        static_cast<int32_t>(lf) - 8 != 3 * count) {
        return RefuseDamaged();
    }
    frame_.components.assign(count, FrameComponent());
    frame_.maxH = frame_.maxV = 0;
    bool valid = true;
    for (FrameComponent& c : frame_.components) {
        c.id = in_.ReadU8();
        uint8_t sampling = in_.ReadU8();
        c.h = sampling >> 4;
        c.v = sampling & 15;
        c.quantSelector = in_.ReadU8();
        if (c.h > frame_.maxH) frame_.maxH = c.h;
        if (c.v > frame_.maxV) frame_.maxV = c.v;
        if (c.h == 0 || c.h > 4 || c.v == 0 || c.v > 4 || c.quantSelector > 3) valid = false;
    }
    if (in_.Beyond()) return false;
    if (!valid) return RefuseDamaged();
    return true;
}

bool JpegDecoder::ReadQuantTables() {
    int32_t remaining = static_cast<int32_t>(in_.ReadU16()) - 2;
    while (remaining > 0) {
        uint8_t pqTq = in_.ReadU8();
        int pq = pqTq >> 4, tq = pqTq & 15;
        if (pq > 1 || tq > 3) return RefuseDamaged();
        for (int k = 0; k < 64; ++k)
            quantTables_[tq][kZigzag[k]] = static_cast<int32_t>(pq ? in_.ReadU16() : in_.ReadU8());
        remaining -= pq ? 129 : 65;
        PrescaleQuantTable(quantTables_[tq], scaleTable_);
        quantInRange_[tq] = WithinQuantiserLimit(quantTables_[tq]);
    }
    return !in_.Beyond();
}

HuffmanSegment ReadHuffmanSegment(JpegInput& in, HuffmanTable dcTables[4], HuffmanTable acTables[4]) {
    int32_t remaining = static_cast<int32_t>(in.ReadU16()) - 2;
    uint8_t values[16 * 255];
    while (remaining > 0) {
        uint8_t tcTh = in.ReadU8();
        int tc = tcTh >> 4, th = tcTh & 15;
        if (tc > 1 || th > 3) return HuffmanSegment::kDamaged;
        uint8_t counts[16];
        int32_t total = 0;
        for (int i = 0; i < 16; ++i) total += counts[i] = in.ReadU8();
        remaining -= 17;
        if (total > remaining) return HuffmanSegment::kDamaged;
        for (int32_t i = 0; i < total; ++i) values[i] = in.ReadU8();
        remaining -= total;
        if (in.Beyond()) return HuffmanSegment::kCut;
        BuildHuffmanTable(tc == 0 ? dcTables[th] : acTables[th], counts, values);
    }
    return HuffmanSegment::kRead;
}

bool JpegDecoder::ReadHuffmanTables() {
    switch (ReadHuffmanSegment(in_, dcTables_, acTables_)) {
    case HuffmanSegment::kRead: return true;
    case HuffmanSegment::kCut: return false;
    case HuffmanSegment::kDamaged: break;
    }
    return RefuseDamaged();
}

bool JpegDecoder::ReadRestartInterval() {
    if (in_.ReadU16() != 4) return false;
    restartInterval_ = in_.ReadU16();
    return !in_.Beyond();
}

bool JpegDecoder::ReadApp0() {
    uint32_t length = in_.ReadU16();
    if (length < 16) return false;
    in_.Advance(14);
    in_.Advance(length - 16);
    return !in_.Beyond();
}

// APP1..APP15 and COM: skipped whole by their length; not read.
bool JpegDecoder::SkipSegment() {
    size_t start = in_.pos;
    in_.SetPos(start + in_.ReadU16());
    return true;
}

// Scan header after its marker code, into scan_ with the scan's MCU grid. False when it runs
// past the data, names no component, a table selector above 3 or a component the frame lacks.
bool JpegDecoder::ReadScanHeader() {
    in_.Advance(2);
    uint8_t count = in_.ReadU8();
    scan_.components.assign(count, ScanComponent());
    std::vector<uint8_t> ids(count);
    bool selectorsValid = true;
    for (uint8_t i = 0; i < count; ++i) {
        ids[i] = in_.ReadU8();
        uint8_t tables = in_.ReadU8();
        scan_.components[i].dcSelector = tables >> 4;
        scan_.components[i].acSelector = tables & 15;
        if ((tables >> 4) > 3 || (tables & 15) > 3) selectorsValid = false;
    }
    scan_.spectralStart = in_.ReadU8();
    scan_.spectralEnd = in_.ReadU8();
    uint8_t approx = in_.ReadU8();
    scan_.approxHigh = approx >> 4;
    scan_.approxLow = approx & 15;
    if (count == 0 || !selectorsValid || in_.Beyond()) return false;

    scan_.maxH = frame_.maxH;
    scan_.maxV = frame_.maxV;
    if (count == 1 && ids[0] == frame_.components[0].id) {
        ScanComponent& c = scan_.components[0];
        c.index = 1;
        c.h = c.v = c.blocksPerMcu = 1;
        c.quantSelector = frame_.components[0].quantSelector;
        scan_.maxH = scan_.maxV = 1;
        scan_.lumaAlone = true;
        scan_.mcusAcross = CeilDiv(frame_.width, 8);
        scan_.mcusDown = CeilDiv(frame_.height, 8);
    } else {
        for (uint8_t i = 0; i < count; ++i) {
            size_t found = 0;
            while (found < frame_.components.size() && frame_.components[found].id != ids[i]) ++found;
            if (found == frame_.components.size()) return false;
            ScanComponent& c = scan_.components[i];
            const FrameComponent& f = frame_.components[found];
            c.index = static_cast<uint8_t>(found + 1);
            c.h = f.h;
            c.v = f.v;
            c.quantSelector = f.quantSelector;
            c.blocksPerMcu = static_cast<uint8_t>(f.h * f.v);
        }
        scan_.lumaAlone = false;
        scan_.mcusAcross = CeilDiv(frame_.width, 8u * scan_.maxH);
        scan_.mcusDown = CeilDiv(frame_.height, 8u * scan_.maxV);
    }
    scan_.mcuCount = scan_.mcusAcross * scan_.mcusDown;
    return true;
}
