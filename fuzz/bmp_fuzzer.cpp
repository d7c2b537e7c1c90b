// BMP reading as the viewer runs it, at both screen depths, then the picture file written from
// the result, and the picture reduced to half its size as on a screen too small for it; and expandRle on its own with a destination of fuzzed shape. The destination
// vectors are exactly as large as promised, so AddressSanitizer sees any write past them.
// Bitmaps above 16 MB are skipped so that a run spends its time reading, not allocating.
#include <cstdint>
#include <vector>

#include "image/bmp_picture.h"
#include "image/bmp_reader.h"
#include "image/fitted_picture.h"
#include "image/rle.h"
#include "image/shown_picture.h"

namespace {

constexpr size_t kLargestBitmap = 16u << 20;
constexpr uint64_t kLargestReducedPixels = uint64_t(1) << 20;

void LoadAtDepth(const uint8_t* data, size_t size, int depth) {
    BmpLayout layout;
    if (!parseBmp(data, size, depth, layout) || layout.bitmapBytes() > kLargestBitmap) return;
    ShownPicture picture(depth);
    loadBmpPicture(data, size, picture);
    std::vector<uint8_t> file;
    pictureFileBytes(picture, file);
    // The reduction reads every pixel: large but thin pictures (a 1-bit one of 50 megapixels in
    // a few bytes of runs) would spend the run reducing, so only pictures of up to 2^20 pixels.
    if (uint64_t(layout.width()) * layout.height() > kLargestReducedPixels) return;
    ShownPicture fitted(depth);
    showEntryWithin(data, size, fitted, {layout.width() / 2 + 1, layout.height() / 2 + 1});
}

// First bytes: kind, row pitch, rows; the rest is the run-length data.
void ExpandAlone(const uint8_t* data, size_t size) {
    if (size < 4) return;
    uint32_t kind = (data[0] & 1) ? kRle8 : kRle4;
    size_t pitch = (size_t(data[1]) | size_t(data[2] & 0x0F) << 8) + 1;
    size_t rows = size_t(data[3]) + 1;
    std::vector<uint8_t> destination(pitch * rows - (data[0] & 2 ? pitch / 2 : 0));
    expandRle(kind, data + 4, size - 4, destination.data(), destination.size(), pitch);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadAtDepth(data, size, 24);
    LoadAtDepth(data, size, 8);
    ExpandAlone(data, size);
    return 0;
}
