// Reading a whole picture book from a file.
#include "book_file.h"
#include "pe_image.h"
#include "stream_byte_source.h"

namespace {

// The PE headers and section table of any sensible program lie within this many bytes.
const uint32_t kHeaderBytes = 1u << 20;

// End of the program image; the string-table length is read from the file itself.
uint64_t fileEndOf(StreamByteSource& file, const PeLayout& layout) {
    if (layout.symbolTable == 0) return layout.sectionsEnd;
    uint8_t bytes[4] = {0};
    if (!file.seek(layout.stringTableOffset()) || file.read(bytes, 4) != 4) return peFileEnd(layout, nullptr);
    uint32_t length = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                      (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return peFileEnd(layout, &length);
}

std::string countText(uint64_t n) { return std::to_string(n); }

bool readHeaderAndTable(StreamByteSource& file, Book& book, std::string& error) {
    if (!readCollectionHeader(file, book.header)) {
        error = "truncated: the collection's texts and settings are incomplete";
        return false;
    }
    uint32_t count = book.header.settings.entryCount;
    if (count == 0) {
        error = "not a picture book: the collection has 0 entries";
        return false;
    }
    if (!makeEntryTable(file, count, book.entries)) {
        error = "truncated: " + countText(count) + " entries cannot fit in the " +
                countText(file.remaining()) + " bytes that follow the header";
        return false;
    }
    return true;
}

}  // namespace

bool programFileEnd(const std::string& path, uint64_t& end, uint64_t& fileSize, std::string& error) {
    StreamByteSource file(path);
    if (!file.isOpen()) {
        error = "cannot open " + path;
        return false;
    }
    fileSize = file.size();
    std::vector<uint8_t> headers(static_cast<size_t>(fileSize < kHeaderBytes ? fileSize : kHeaderBytes));
    PeLayout layout;
    if (file.read(headers.data(), static_cast<uint32_t>(headers.size())) != headers.size() ||
        !readPeLayout(headers.data(), headers.size(), layout)) {
        error = "not a 32-bit Windows program: " + path;
        return false;
    }
    end = fileEndOf(file, layout);
    return true;
}

bool readBookFile(const std::string& path, Book& book, std::string& error) {
    book = Book();
    uint64_t fileSize = 0;
    if (!programFileEnd(path, book.collectionStart, fileSize, error)) return false;
    if (fileSize <= book.collectionStart) {
        error = "not a picture book: nothing appended to the program";
        return false;
    }
    StreamByteSource file(path);
    if (!file.isOpen() || !file.seek(book.collectionStart)) {
        error = "cannot read " + path;
        return false;
    }
    if (!readHeaderAndTable(file, book, error)) return false;
    if (!readEntry(file, book.entries[0])) {
        error = "truncated: page 1 is incomplete";
        return false;
    }
    book.completeEntries = readRemainingEntries(file, book.entries);
    return true;
}
