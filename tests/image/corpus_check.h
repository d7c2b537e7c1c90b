// Compares what the loaders show for the corpus files with reference.tsv, and checks the
// manifest's expectations; shared by the BMP and JPEG corpus tests.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "corpus.h"
#include "image/shown_picture.h"

// Loads one file onto a picture made for the screen depth; returns the loader's result.
using PictureLoader = std::function<int(const std::vector<uint8_t>& bytes, ShownPicture& picture)>;

struct ReferenceComparison {
    int checked = 0;
    std::vector<std::string> mismatches;  // "path @depth: what", rows the manifest expects exactly
    std::vector<std::string> open;        // mismatches on rows whose outcome is left open ("any")
};

// Every reference row whose path is accepted by `wanted`, loaded at its depth and written as
// the picture as shown, compared with the recorded size and hashes.
ReferenceComparison compareWithReference(const std::function<bool(const ReferenceRow&)>& wanted,
                                         const PictureLoader& load);
