// Decodes a JPEG the way the viewer does: Probe with one decoder, a zero-filled bottom-up
// bitmap of the probed size, Decode with a second decoder, then the shown area.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ViewerPicture {
    bool routed = false;   // the input starts with 0xFF 0xD8
    bool probed = false;   // Probe returned 1
    int decodeResult = 0;
    uint64_t work = 0;     // the decoder's work count, in blocks
    uint32_t bitmapWidth = 0, bitmapHeight = 0;  // probed (rounded) size
    uint32_t shownWidth = 0, shownHeight = 0;
    std::vector<uint8_t> bitmap;  // bottom-up rows of 3 * bitmapWidth bytes
    std::vector<std::string> messages, captions;

    // Pixel (x, y) of the picture, y = 0 the top row.
    const uint8_t* pixel(uint32_t x, uint32_t y) const;
    // SHA-256 of the shown rows, bottom row first, 3 * shownWidth bytes each.
    std::string shownHash() const;
    // True when any byte of the bitmap is not 0.
    bool anyWritten() const;
};

ViewerPicture decodeAsViewer(const std::vector<uint8_t>& file);

struct DecodedJpeg;
class RecordingJpegMessages;
// The viewer's picture of a decode already made of a file it routes to the decoder.
ViewerPicture viewerPicture(DecodedJpeg&& decoded, const RecordingJpegMessages& messages);
