// The pictures every benchmark decodes, read once into memory from the shared corpus.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct BenchPicture {
    std::string name;            // short label for the table
    std::vector<uint8_t> bytes;  // the whole file
};

// The corpus folder: EDAMIRU_SHARED (environment) or the configured one, plus "/corpus".
std::string benchCorpusDir();

// The 12-megapixel files and the 640 x 480 one; files that cannot be read are left out and
// named in `missing`.
std::vector<BenchPicture> loadBenchPictures(std::vector<std::string>& missing);
