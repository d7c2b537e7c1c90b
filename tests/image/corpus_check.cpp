#include "corpus_check.h"

#include "picture_hash.h"

#include <map>

namespace {

// The difference between what `load` shows for the row and the recorded picture; "" when none.
std::string differenceFromReference(const ReferenceRow& row, const PictureLoader& load) {
    const std::vector<uint8_t> bytes = readCorpusFile(row.path);
    ShownPicture picture(row.depth);
    const int shown = load(bytes, picture);
    if ((shown == 1) != (row.shown == "yes")) return "shown " + std::to_string(shown) + ", expected " + row.shown;
    if (shown != 1) return "";
    std::vector<uint8_t> file;
    if (!pictureFileBytes(picture, file)) return "no file written";
    const PictureHashes h = hashPictureFile(file);
    const std::string size = std::to_string(h.width) + "x" + std::to_string(h.height) + "x" + std::to_string(h.bpp);
    const std::string want = row.width + "x" + row.height + "x" + row.bpp;
    if (size != want) return "size " + size + ", expected " + want;
    if (h.pixels != row.pixelsSha256) return "pixels differ";
    if (row.depth == 24 && h.palette != row.paletteSha256) return "colour table differs";
    return "";
}

}  // namespace

ReferenceComparison compareWithReference(const std::function<bool(const ReferenceRow&)>& wanted,
                                         const PictureLoader& load) {
    std::map<std::string, std::string> expectations;
    for (const ManifestRow& m : readManifest()) expectations[m.path] = m.expect;
    ReferenceComparison result;
    for (const ReferenceRow& row : readReference()) {
        if (!wanted(row)) continue;
        ++result.checked;
        const std::string difference = differenceFromReference(row, load);
        if (difference.empty()) continue;
        const std::string line = row.path + " @" + std::to_string(row.depth) + ": " + difference;
        (expectations[row.path] == "any" ? result.open : result.mismatches).push_back(line);
    }
    return result;
}
