// What `make` stores for each picture: the file byte for byte when the viewer shows it right,
// else the picture converted into a file it does show right (turned upright, transparency on
// white, optionally reduced), or a refusal when no library here reads it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PageOptions {
    bool asIs = false;      // store every file byte for byte, unchecked
    bool lossless = false;  // converted pictures of many colours as 24-bit BMP rather than JPEG
    uint32_t fitWidth = 0;  // pictures larger than fitWidth x fitHeight are reduced (0: none)
    uint32_t fitHeight = 0;
};

enum class PageOutcome { Kept, Converted, Refused };

struct PreparedPage {
    PageOutcome outcome = PageOutcome::Kept;
    std::vector<uint8_t> bytes;  // what to store (Kept: the file itself)
    std::string note;            // Converted: what was done and why; Refused: why
};

PreparedPage preparePage(const std::vector<uint8_t>& file, const PageOptions& options);
