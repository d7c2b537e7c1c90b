// Probe, a zero-filled bitmap of the probed size, and Decode in one call, for everyone who
// just wants a picture in memory (tools, tests, fuzzing). The viewer decodes into a bitmap of
// its own through the same two calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jpeg_decoder.h"

struct DecodedJpeg {
    bool probed = false;    // Probe accepted the data; `pixels` is empty when no bitmap of its size could be made
    bool complete = false;  // Decode reached the end-of-image marker after a frame
    bool frameRead = false; // Decode read a frame header that fits the bitmap
    JpegSize probedSize;    // the bitmap's size (whole MCUs); after a refused probe, what the header said
    JpegSize frameSize;     // what Decode's frame header said (zero before one was read)
    JpegSize shownSize;     // the frame's size when read, else the bitmap's
    std::vector<uint8_t> pixels;  // bottom-up rows of 3 * probedSize.width bytes, B,G,R
    uint64_t work = 0;            // the decoder's work count, in blocks
};

// Decodes `data` as the viewer does. Bitmaps above `maxBytes` are not made.
DecodedJpeg DecodeJpegPicture(const uint8_t* data, size_t size, JpegMessages& messages,
                              uint64_t maxBytes = JpegDecoder::kMemoryLimit);
