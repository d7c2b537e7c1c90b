// The appended collection read as the viewer reads it: header, entry table, page 1, then the
// deferred pass; then every page named as the file list and the extraction name it. The entries
// are checked against a second walk over the same bytes, so a reader that kept the wrong bytes,
// tag or count stops the run as well as one that reads out of bounds.
// Cost per input stays small: makeEntryTable refuses counts the bytes cannot hold (4 bytes each).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "collection.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The entries after the header, walked directly over the bytes: complete entries hold exactly
// their bytes and the tag of their first byte; the entry where the pass stopped holds the bytes
// that arrived and no tag; the ones behind it stay empty.
void checkEntries(const uint8_t* data, size_t size, size_t at, const std::vector<CollectionEntry>& entries,
                  uint32_t complete) {
    check(complete >= 1 && complete <= entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const CollectionEntry& entry = entries[i];
        if (i > complete) {
            check(entry.data.empty() && entry.formatTag == FormatTag::None);
            continue;
        }
        if (i == complete) {  // the short read that ended the pass
            size_t arrived = size - at >= 4 ? size - at - 4 : 0;
            check(entry.data.size() == arrived && entry.formatTag == FormatTag::None);
            check(arrived == 0 || std::memcmp(entry.data.data(), data + at + 4, arrived) == 0);
            continue;
        }
        check(size - at >= 4);
        const uint32_t length = le32(data + at);
        check(length <= size - at - 4 && entry.data.size() == length);
        check(length == 0 || std::memcmp(entry.data.data(), data + at + 4, length) == 0);
        check(entry.formatTag == formatTagOf(entry.data.data(), entry.data.size()));
        at += 4 + size_t(length);
    }
}

// The names the viewer derives: the single-file title and folder of a path (the texts stand in
// for paths here), the file list's page and size columns, and each page's extracted file name
// when the title may stand in one.
void nameEntries(const CollectionHeader& header, const std::vector<CollectionEntry>& entries) {
    for (const std::string* path : {&header.title, &header.comment, &header.linkText}) {
        const std::string name = singleFileTitle(*path);
        check(name.size() <= path->size() && path->find(name) != std::string::npos);
        const std::string folder = folderOfPath(*path);
        check(path->compare(0, folder.size(), folder) == 0);
    }
    const std::string& title = header.title;
    const uint32_t count = header.settings.entryCount;
    const bool safe = titleIsSafeFileStem(title);
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint32_t page = uint32_t(i + 1);
        check(!formatNumber(page).empty() && !formatNumber(uint32_t(entries[i].data.size())).empty());
        if (!safe) continue;
        const std::string name = extractedFileName(title, page, count, entries[i].formatTag);
        const std::string ending = std::string(".") + formatTagText(entries[i].formatTag);
        check(name.compare(0, title.size(), title) == 0);
        check(name.size() >= title.size() + ending.size() &&
              name.compare(name.size() - ending.size(), ending.size(), ending) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryByteSource source(data, size);
    CollectionHeader header;
    if (!readCollectionHeader(source, header)) return 0;
    const size_t headerEnd = source.position();
    check(headerEnd == header.title.size() + header.comment.size() + header.linkText.size() + 3 + 24);
    std::vector<CollectionEntry> entries;
    if (!makeEntryTable(source, header.settings.entryCount, entries)) return 0;
    check(entries.size() == header.settings.entryCount && entries.size() <= (size - headerEnd) / 4);
    if (!readEntry(source, entries[0])) return 0;
    const uint32_t complete = readRemainingEntries(source, entries);
    checkEntries(data, size, headerEnd, entries, complete);
    nameEntries(header, entries);
    return 0;
}
