// Hashes of a written picture file, as the corpus reference records them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PictureHashes {
    bool valid = false;
    uint32_t width = 0, height = 0, bpp = 0;
    std::string pixels;   // rows bottom first, ceil(width · bpp / 8) bytes each, padding left out
    std::string palette;  // first 2^bpp colour entries for bpp <= 8, else "-"
};

PictureHashes hashPictureFile(const std::vector<uint8_t>& file);
