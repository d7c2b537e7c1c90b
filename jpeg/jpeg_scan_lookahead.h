// Reading ahead of the scan being decoded, without decoding anything: where a progressive
// picture's last scan is and what it does, so that the helper thread can decode it early.
#pragma once
#include <cstddef>
#include <cstdint>

#include "jpeg_huffman.h"
#include "jpeg_input.h"

// A scan found ahead: its first entropy-coded byte, band and successive approximation, and the
// AC table it is to use as the segments before it leave the tables.
struct ScanAheadPlan {
    size_t dataStart = 0;
    uint32_t spectralStart = 0, spectralEnd = 0;
    uint8_t approxHigh = 0, approxLow = 0;
    HuffmanTable table;
};

// Moves `in` to the next marker code, past stuffed zeros, fill bytes and restart markers, as
// the decoder's own search between scans passes them; found with memchr, since it crosses
// whole scans. False, `in` unmoved, when the data ends first.
bool NextSegmentCode(JpegInput& in);

// From `in`, inside the entropy-coded data of the scan being decoded, to the end-of-image
// marker: true, with `plan`, when the last scan codes a band of AC coefficients of the
// luminance alone (component `lumaId`), every scan between leaves those coefficients alone (DC
// scans, AC scans that start with another component) and nothing but Huffman tables comes
// between the scans. `acTables` are the four in force now. False at anything else.
bool FindLastLumaScan(const JpegInput& in, const HuffmanTable acTables[4], uint8_t lumaId, ScanAheadPlan& plan);
