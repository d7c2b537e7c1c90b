// Access to the shared picture corpus (manifest.tsv, reference.tsv and the files).
// Tests that need it call corpusDir() and skip with skipMessage() when it is empty.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ManifestRow {
    std::string path, format, category, features, expect, notes;
    std::string width, height, bytes;
    bool hasFeature(const std::string& token) const;  // exact ';'-separated token
};

struct ReferenceRow {
    std::string path;
    int depth = 0;
    std::string shown, width, height, bpp, pixelsSha256, paletteSha256;
};

// The corpus folder ("…/corpus", no trailing separator), or "" when it is not there.
// EDAMIRU_SHARED in the environment overrides the folder chosen at configure time.
std::string corpusDir();
std::string skipMessage();  // "shared corpus not found at …: skipped"

std::vector<ManifestRow> readManifest();                  // empty without the corpus
std::vector<ReferenceRow> readReference();                // empty without the corpus
std::vector<uint8_t> readCorpusFile(const std::string& relativePath);
std::vector<uint8_t> readWholeFile(const std::string& path);
