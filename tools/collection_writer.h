// Writing a collection: the bytes that make a copy of the viewer a picture book.
#pragma once
#include "collection.h"

#include <cstdint>
#include <string>
#include <vector>

// The header: title, comment and link text (Shift-JIS, each ended by one zero byte), then the six
// settings as little-endian 32-bit values, entryCount last. False when a text holds a zero byte.
bool collectionHeaderBytes(const CollectionHeader& header, std::vector<uint8_t>& out);

// One entry record: the 4-byte little-endian size, then the bytes. False above 4 GiB - 1.
bool entryRecordBytes(const std::vector<uint8_t>& picture, std::vector<uint8_t>& out);
