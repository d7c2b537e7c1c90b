#include "render_source.h"

#include "book_file.h"
#include "file_bytes.h"
#include "collection.h"

namespace {

bool readBookPage(const std::string& path, uint32_t page, RenderSource& source, std::string& error) {
    Book book;
    if (!readBookFile(path, book, error)) return false;
    const uint32_t count = book.header.settings.entryCount;
    if (page > count || page > book.entries.size()) {
        error = "the book has " + std::to_string(count) + " pages, not " + std::to_string(page);
        return false;
    }
    // A page the book holds only in part is shown as the viewer holds it: the bytes that arrived.
    source.bytes = std::move(book.entries[page - 1].data);
    source.description = "page " + std::to_string(page) + " of " + path;
    return true;
}

}  // namespace

bool readRenderSource(const std::string& path, uint32_t page, RenderSource& source, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readFileBytes(path, bytes, error)) return false;
    if (page == 0 && pictureKind(bytes.data(), bytes.size()) != PictureKind::NotDisplayable) {
        source.bytes = std::move(bytes);
        source.description = path;
        return true;
    }
    std::string bookError;
    if (!readBookPage(path, page == 0 ? 1 : page, source, bookError)) {
        error = page == 0 ? path + " is neither a BMP or JPEG picture nor a picture book (" + bookError + ")"
                          : path + ": " + bookError;
        return false;
    }
    return true;
}
