// Reading the appended collection: header texts, settings, the entry table and the entries.
// Every size taken from the file is checked against the bytes that remain before anything is
// allocated for it, so a damaged collection is refused as a short read.
#include "collection.h"

#include <new>
#include <stdexcept>

namespace {

bool readU32(ByteSource& source, uint32_t& value) {
    uint8_t bytes[4];
    if (source.read(bytes, 4) != 4) return false;
    value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
            (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

bool readSettings(ByteSource& source, CollectionSettings& settings) {
    uint32_t interval = 0;
    if (!readU32(source, settings.captionFlag) || !readU32(source, settings.commentFlag) ||
        !readU32(source, settings.menuBarFlag) || !readU32(source, interval) ||
        !readU32(source, settings.mouseMode) || !readU32(source, settings.entryCount)) {
        return false;
    }
    settings.intervalSeconds = static_cast<int32_t>(interval);
    return true;
}

// Reads what is left of the file into the entry after its size proved too large: the entry keeps
// the bytes that arrived.
void keepRemainingBytes(ByteSource& source, CollectionEntry& entry) {
    uint64_t left = source.remaining();
    if (left > 0xFFFFFFFFu) left = 0xFFFFFFFFu;
    try {
        entry.data.resize(static_cast<size_t>(left));
    } catch (const std::exception&) {
        entry.data.clear();
        return;
    }
    uint32_t got = entry.data.empty() ? 0 : source.read(entry.data.data(), static_cast<uint32_t>(left));
    entry.data.resize(got);
}

}  // namespace

const char* formatTagText(FormatTag tag) {
    switch (tag) {
    case FormatTag::Bmp: return "BMP";
    case FormatTag::Jpg: return "JPG";
    case FormatTag::None: break;
    }
    return "";
}

FormatTag formatTagOf(const uint8_t* data, size_t size) {
    if (size == 0) return FormatTag::None;
    if (data[0] == 0x42) return FormatTag::Bmp;
    if (data[0] == 0xFF) return FormatTag::Jpg;
    return FormatTag::None;
}

PictureKind pictureKind(const uint8_t* data, size_t size) {
    if (size < 2) return PictureKind::NotDisplayable;
    switch (formatTagOf(data, size)) {
    case FormatTag::Bmp: return data[1] == 0x4D ? PictureKind::Bmp : PictureKind::NotDisplayable;
    case FormatTag::Jpg: return data[1] == 0xD8 ? PictureKind::Jpeg : PictureKind::NotDisplayable;
    case FormatTag::None: break;
    }
    return PictureKind::NotDisplayable;
}

void tagEntry(CollectionEntry& entry) { entry.formatTag = formatTagOf(entry.data.data(), entry.data.size()); }

bool readText(ByteSource& source, std::string& text) {
    text.clear();
    for (;;) {
        char byte = 0;
        if (source.read(&byte, 1) != 1) return false;
        if (byte == 0) return true;
        text.push_back(byte);
    }
}

bool readCollectionHeader(ByteSource& source, CollectionHeader& header,
                          void (*onTitle)(void* context, const std::string& title), void* context) {
    if (!readText(source, header.title)) return false;
    if (onTitle) onTitle(context, header.title);
    return readText(source, header.comment) && readText(source, header.linkText) &&
           readSettings(source, header.settings);
}

bool makeEntryTable(ByteSource& source, uint32_t entryCount, std::vector<CollectionEntry>& entries) {
    entries.clear();
    if (entryCount == 0 || entryCount > source.remaining() / 4) return false;
    try {
        entries.resize(entryCount);
    } catch (const std::exception&) {
        entries.clear();
        entries.shrink_to_fit();
        return false;
    }
    return true;
}

bool readEntry(ByteSource& source, CollectionEntry& entry) {
    entry.data.clear();
    entry.formatTag = FormatTag::None;
    uint32_t size = 0;
    if (!readU32(source, size)) return false;
    if (size > source.remaining()) {
        keepRemainingBytes(source, entry);
        return false;
    }
    try {
        entry.data.resize(size);
    } catch (const std::exception&) {
        entry.data.clear();
        return false;
    }
    uint32_t got = size == 0 ? 0 : source.read(entry.data.data(), size);
    if (got != size) {
        entry.data.resize(got);
        return false;
    }
    tagEntry(entry);
    return true;
}

uint32_t readRemainingEntries(ByteSource& source, std::vector<CollectionEntry>& entries) {
    if (entries.empty()) return 0;
    uint32_t complete = 1;
    for (size_t i = 1; i < entries.size(); ++i) {
        if (!readEntry(source, entries[i])) break;
        ++complete;
    }
    return complete;
}
