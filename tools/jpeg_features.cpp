#include "jpeg_features.h"

#include <algorithm>

namespace {

uint32_t be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }

uint32_t tiff16(const uint8_t* p, bool little) { return little ? (p[0] | uint32_t(p[1]) << 8) : be16(p); }

uint32_t tiff32(const uint8_t* p, bool little) {
    return little ? (tiff16(p, true) | tiff16(p + 2, true) << 16) : (be16(p) << 16 | be16(p + 2));
}

bool isFrameMarker(uint8_t code) {
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// The orientation tag (0x0112) of the first image directory of an EXIF segment's TIFF data.
int exifOrientation(const uint8_t* tiff, size_t size) {
    if (size < 8) return 1;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return 1;
    const uint32_t directory = tiff32(tiff + 4, little);
    if (directory > size - 2) return 1;
    const uint32_t count = tiff16(tiff + directory, little);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t entry = uint64_t(directory) + 2 + uint64_t(i) * 12;
        if (entry + 12 > size) break;
        const uint8_t* e = tiff + entry;
        if (tiff16(e, little) != 0x0112) continue;
        const uint32_t value = tiff16(e + 8, little);
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

void readFrame(const uint8_t* body, size_t length, uint8_t code, JpegFeatures& f) {
    if (length < 6) return;
    f.frameFound = true;
    f.frameMarker = code;
    f.precision = body[0];
    f.componentCount = body[5];
    for (uint32_t i = 0; i < f.componentCount && i < 4 && 6 + 3 * i + 2 < length; ++i) {
        f.componentIds[i] = body[6 + 3 * i];
        f.sampling[i] = body[6 + 3 * i + 1];
    }
}

void readSegment(uint8_t code, const uint8_t* body, size_t length, JpegFeatures& f) {
    static const uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    static const uint8_t kAdobe[] = {'A', 'd', 'o', 'b', 'e'};
    if (isFrameMarker(code) && !f.frameFound) {
        readFrame(body, length, code, f);
    } else if (code == 0xE1 && length >= 6 && std::equal(kExif, kExif + 6, body)) {
        f.orientation = exifOrientation(body + 6, length - 6);
    } else if (code == 0xEE && length >= 12 && std::equal(kAdobe, kAdobe + 5, body)) {
        f.adobeTransform = body[11];
    }
}

}  // namespace

bool readJpegFeatures(const uint8_t* data, size_t size, JpegFeatures& features) {
    features = JpegFeatures{};
    if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return false;
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) {
            ++at;  // stray bytes between segments are passed over
            continue;
        }
        const uint8_t code = data[at + 1];
        if (code == 0xFF || (code >= 0xD0 && code <= 0xD8) || code == 0x01) {
            ++at;
            continue;
        }
        if (code == 0xDA || code == 0xD9) break;
        const uint32_t length = be16(data + at + 2);
        if (length < 2 || at + 2 + length > size) return features.frameFound;
        readSegment(code, data + at + 4, length - 2, features);
        at += 2 + length;
    }
    return true;
}

bool storesRgb(const JpegFeatures& f) {
    if (f.componentCount != 3) return false;
    if (f.componentIds[0] == 'R' && f.componentIds[1] == 'G' && f.componentIds[2] == 'B') return true;
    return f.adobeTransform == 0;
}
