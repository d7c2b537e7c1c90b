#include "picture_hash.h"

#include "sha256.h"

namespace {
uint32_t le32(const std::vector<uint8_t>& f, size_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24;
}
}  // namespace

PictureHashes hashPictureFile(const std::vector<uint8_t>& file) {
    PictureHashes h;
    if (file.size() < 54) return h;
    h.width = le32(file, 18);
    h.height = le32(file, 22);
    h.bpp = uint32_t(file[28] | file[29] << 8);
    const uint32_t offset = le32(file, 10);
    const uint64_t rowBytes = (uint64_t(h.width) * h.bpp + 7) / 8;
    const uint64_t pitch = (uint64_t(h.width) * h.bpp + 31) / 32 * 4;
    if (offset + pitch * h.height > file.size()) return h;
    Sha256 pixels;
    for (uint32_t y = 0; y < h.height; ++y) pixels.update(file.data() + offset + y * pitch, size_t(rowBytes));
    h.pixels = pixels.hexDigest();
    h.palette = "-";
    if (h.bpp <= 8) {
        const size_t entries = size_t(1) << h.bpp;
        if (54 + 4 * entries > file.size()) return h;
        h.palette = sha256Hex(file.data() + 54, 4 * entries);
    }
    h.valid = true;
    return h;
}
