#include "jpeg_scan_lookahead.h"

#include <cstring>
#include <memory>

#include "jpeg_markers.h"

namespace {

// A scan header after its marker code, read as the decoder reads it (the length field passed
// over): the first component, the band, the approximation and the first component's AC table.
struct ScanSeen {
    uint8_t count = 0, firstId = 0, acSelector = 0;
    uint32_t spectralStart = 0, spectralEnd = 0;
    uint8_t approxHigh = 0, approxLow = 0;
};

bool ReadScanSeen(JpegInput& in, ScanSeen& scan) {
    in.Advance(2);
    scan.count = in.ReadU8();
    for (uint8_t i = 0; i < scan.count; ++i) {
        const uint8_t id = in.ReadU8(), tables = in.ReadU8();
        if ((tables >> 4) > 3 || (tables & 15) > 3) return false;
        if (i == 0) {
            scan.firstId = id;
            scan.acSelector = tables & 15;
        }
    }
    scan.spectralStart = in.ReadU8();
    scan.spectralEnd = in.ReadU8();
    const uint8_t approx = in.ReadU8();
    scan.approxHigh = approx >> 4;
    scan.approxLow = approx & 15;
    return scan.count != 0 && !in.Beyond();
}

bool NonEmptyAcBand(const ScanSeen& s) { return s.spectralEnd != 0 && s.spectralStart <= s.spectralEnd; }

}  // namespace

bool NextSegmentCode(JpegInput& in) {
    const uint8_t* data = in.Data();
    size_t at = in.pos;
    for (;;) {
        if (at >= in.end) return false;
        const void* found = std::memchr(data + at, 0xFF, in.end - at);
        if (found == nullptr) return false;
        at = size_t(static_cast<const uint8_t*>(found) - data);
        while (at < in.end && data[at] == 0xFF) ++at;
        if (at >= in.end) return false;
        const uint8_t code = data[at];
        if (code != 0x00 && !jpeg_marker::IsRestart(code)) {
            in.SetPos(at);
            return true;
        }
    }
}

bool FindLastLumaScan(const JpegInput& in, const HuffmanTable acTables[4], uint8_t lumaId, ScanAheadPlan& plan) {
    JpegInput look = in;
    std::unique_ptr<HuffmanTable[]> ac(new HuffmanTable[4]), dc(new HuffmanTable[4]);
    for (int i = 0; i < 4; ++i) ac[i] = acTables[i];
    bool found = false;
    ScanSeen last;
    for (;;) {
        if (!NextSegmentCode(look)) return false;
        const uint8_t code = look.Peek();
        look.Advance(1);
        if (code == jpeg_marker::kEndOfImage) break;
        if (code == jpeg_marker::kHuffmanTables) {
            if (ReadHuffmanSegment(look, dc.get(), ac.get()) != HuffmanSegment::kRead) return false;
            continue;
        }
        if (code != jpeg_marker::kStartOfScan) return false;
        // The scan before this one is now known not to be the last: it must leave the
        // luminance's AC coefficients alone.
        if (found && NonEmptyAcBand(last) && (last.firstId == lumaId || last.spectralStart == 0)) return false;
        if (!ReadScanSeen(look, last)) return false;
        found = true;
        plan.dataStart = look.pos;
        plan.spectralStart = last.spectralStart;
        plan.spectralEnd = last.spectralEnd;
        plan.approxHigh = last.approxHigh;
        plan.approxLow = last.approxLow;
        plan.table = ac[last.acSelector];
    }
    return found && last.count == 1 && last.firstId == lumaId && last.spectralStart != 0 && NonEmptyAcBand(last);
}
