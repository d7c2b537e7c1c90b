// Writing a collection.
#include "collection_writer.h"

namespace {

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

bool appendText(std::vector<uint8_t>& out, const std::string& text) {
    if (text.find('\0') != std::string::npos) return false;
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
    return true;
}

}  // namespace

bool collectionHeaderBytes(const CollectionHeader& header, std::vector<uint8_t>& out) {
    out.clear();
    if (!appendText(out, header.title) || !appendText(out, header.comment) || !appendText(out, header.linkText)) {
        return false;
    }
    const CollectionSettings& s = header.settings;
    for (uint32_t value : {s.captionFlag, s.commentFlag, s.menuBarFlag, uint32_t(s.intervalSeconds), s.mouseMode,
                           s.entryCount}) {
        appendU32(out, value);
    }
    return true;
}

bool entryRecordBytes(const std::vector<uint8_t>& picture, std::vector<uint8_t>& out) {
    out.clear();
    if ((uint64_t(picture.size()) >> 32) != 0) return false;
    out.reserve(4 + picture.size());
    appendU32(out, uint32_t(picture.size()));
    out.insert(out.end(), picture.begin(), picture.end());
    return true;
}
