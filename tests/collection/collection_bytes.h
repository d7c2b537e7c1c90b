// Builds the bytes of an appended collection for tests, written independently of the tool's writer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TestCollection {
    std::string title = "T", comment = "C", link = "L";
    // captionFlag, commentFlag, menuBarFlag, intervalSeconds, mouseMode, entryCount (0xFFFF...: count of pictures)
    uint32_t settings[6] = {1, 0xFFFFFFFFu, 1, 0, 1, 0xFFFFFFFFu};
    std::vector<std::vector<uint8_t>> pictures;
};

inline void appendU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

inline std::vector<uint8_t> collectionBytes(const TestCollection& c) {
    std::vector<uint8_t> out;
    for (const std::string* text : {&c.title, &c.comment, &c.link}) {
        out.insert(out.end(), text->begin(), text->end());
        out.push_back(0);
    }
    for (int i = 0; i < 5; ++i) appendU32(out, c.settings[i]);
    appendU32(out, c.settings[5] == 0xFFFFFFFFu ? uint32_t(c.pictures.size()) : c.settings[5]);
    for (const std::vector<uint8_t>& p : c.pictures) {
        appendU32(out, uint32_t(p.size()));
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}
