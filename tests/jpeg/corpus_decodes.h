// Each JPEG of the shared corpus decoded once for all the corpus checks of a run (they share a
// process): the exact pictures, the recorded bitmaps, the damaged-file outcomes and the djpeg
// comparison. A row keeps what those checks look at, not its bitmap: the bitmaps of the whole
// corpus would not fit in a 32-bit process.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "corpus.h"
#include "jpeg_picture_decode.h"

// The row's picture against djpeg's (integer transform, chroma replicated).
struct DjpegAgreement {
    bool ran = false;                // djpeg gave a picture
    uint32_t width = 0, height = 0;  // its size; the pixels are compared when the shown size is this
    int maxDifference = 0;
    double psnr = INFINITY;
};

struct CorpusDecode {
    // What the tests of the recorded bitmaps compare: decoded_hashes.tsv's line for the file.
    std::string guardLine;
    // What the viewer makes of it (as decodeAsViewer): all false and empty when the file does
    // not start with 0xFF 0xD8, as the viewer then does not route it to the decoder.
    bool routed = false, probed = false;
    bool anyWritten = false;  // any byte of the bitmap is not 0
    uint32_t shownWidth = 0, shownHeight = 0;
    std::string shownHash;    // ViewerPicture::shownHash(), for the pictures reference.tsv records
    std::vector<std::string> messages;
    // Filled for the rows djpegComparable() takes, when djpeg is installed.
    DjpegAgreement djpeg;
};

// The decode of a corpus file (a path relative to the corpus), made at its first request and
// kept for the rest of the run.
const CorpusDecode& corpusDecode(const std::string& relativePath);

// The recorded line for one decode: probe result and probed size, then, when a bitmap was made,
// the decode result, the decoder's size and the hash of the whole bitmap.
std::string guardLine(const DecodedJpeg& decoded);

// Rows the manifest expects to show, except those whose colours are wrong on purpose; in-scope
// rows whose outcome is open are compared for information only.
bool djpegComparable(const ManifestRow& row);
bool djpegAvailable();
