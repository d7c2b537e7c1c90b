// The picture file that `render` shows: a picture file itself, or one page of a picture book.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct RenderSource {
    std::vector<uint8_t> bytes;  // the picture file's bytes, as the viewer holds them
    std::string description;     // for messages: "page 3 of BOOK.exe" or the path
};

// With page 0, a file that starts as a picture ("BM" or 0xFF 0xD8) is taken whole, as the
// viewer takes a file named on its command line; any other file must be a book, whose page 1 is
// taken. With a page number the file must be a book with that page. False with an English
// message when the file cannot be read, is not a book, or lacks the page.
bool readRenderSource(const std::string& path, uint32_t page, RenderSource& source, std::string& error);
