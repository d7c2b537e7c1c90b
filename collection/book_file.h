// Reading a whole picture book (a viewer program with a collection appended) from a file,
// for the companion tool: where the collection starts, its header and every entry.
#pragma once
#include "collection.h"

#include <cstdint>
#include <string>
#include <vector>

struct Book {
    CollectionHeader header;
    std::vector<CollectionEntry> entries;  // entryCount records, in page order
    uint64_t collectionStart = 0;          // size of the program file as built
    uint32_t completeEntries = 0;          // pages 1..completeEntries were read whole
};

// Reads the book at `path` (UTF-8). Like the viewer's loading: the header and entry 1 must be
// complete, later entries are read until the first incomplete one (it keeps the bytes that
// arrived, the rest stay empty). Returns false with an English `error` when the file is not a
// program, has nothing appended, or its header, table or entry 1 is incomplete. On true,
// completeEntries < header.settings.entryCount tells that the book is cut short.
bool readBookFile(const std::string& path, Book& book, std::string& error);

// Where the program image of an open file ends (its PE headers and, when present, the length of
// its COFF string table are read from the file). False when it is not a 32-bit Windows program.
bool programFileEnd(const std::string& path, uint64_t& end, uint64_t& fileSize, std::string& error);
