// What the headers of a JPEG file say beyond what the viewer's decoder reads: the frame's
// coding, precision and components, the colour transform of an Adobe segment, and the EXIF
// orientation. Read from the segments before the first scan.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct JpegFeatures {
    bool frameFound = false;
    uint8_t frameMarker = 0;       // 0xC0 baseline, 0xC1 extended, 0xC2 progressive, 0xC9.. arithmetic
    uint8_t precision = 0;         // bits per sample
    uint8_t componentCount = 0;
    uint8_t componentIds[4] = {};
    uint8_t sampling[4] = {};      // horizontal factor in the high nibble, vertical in the low
    int adobeTransform = -1;       // the Adobe segment's transform (0 none: RGB or CMYK); -1 no segment
    int orientation = 1;           // EXIF orientation 1..8; 1 when none is given
};

// Reads the segments of `data` from the start-of-image marker up to the first scan. False when
// the data does not start with one or a segment runs past the end before a frame header.
bool readJpegFeatures(const uint8_t* data, size_t size, JpegFeatures& features);

// Three components that the file marks as red, green and blue rather than YCbCr: component
// identifiers 'R', 'G', 'B', or an Adobe segment with transform 0.
bool storesRgb(const JpegFeatures& features);
