#include "corpus_check.h"

#include "picture_hash.h"

std::vector<std::string> compareWithReference(const std::function<bool(const ReferenceRow&)>& wanted,
                                              const PictureLoader& load, int& checked) {
    std::vector<std::string> mismatches;
    checked = 0;
    for (const ReferenceRow& row : readReference()) {
        if (!wanted(row)) continue;
        ++checked;
        const std::string where = row.path + " @" + std::to_string(row.depth) + ": ";
        const std::vector<uint8_t> bytes = readCorpusFile(row.path);
        ShownPicture picture;
        const int shown = load(bytes, row.depth, picture);
        if ((shown == 1) != (row.shown == "yes")) {
            mismatches.push_back(where + "shown " + std::to_string(shown) + ", expected " + row.shown);
            continue;
        }
        if (shown != 1) continue;
        std::vector<uint8_t> file;
        if (!pictureFileBytes(picture, file)) {
            mismatches.push_back(where + "no file written");
            continue;
        }
        const PictureHashes h = hashPictureFile(file);
        const std::string size = std::to_string(h.width) + "x" + std::to_string(h.height) + "x" + std::to_string(h.bpp);
        const std::string want = row.width + "x" + row.height + "x" + row.bpp;
        if (size != want) {
            mismatches.push_back(where + "size " + size + ", expected " + want);
        } else if (h.pixels != row.pixelsSha256) {
            mismatches.push_back(where + "pixels differ");
        } else if (row.depth == 24 && h.palette != row.paletteSha256) {
            mismatches.push_back(where + "colour table differs");
        }
    }
    return mismatches;
}
