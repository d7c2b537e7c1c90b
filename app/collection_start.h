// Where the collection appended to the program file begins: the size of the program file as
// built, which is where its last section ends. Held, as the format describes it, in two
// unsigned 32-bit parts.
#pragma once
#include <cstdint>

#include "file_system.h"

struct CollectionStart {
    uint32_t high = 0;
    uint32_t low = 0;
    uint64_t offset() const { return (uint64_t(high) << 32) | low; }
};

// Reads the end of the program's image from its own PE headers in memory. False when the
// headers cannot be read.
bool ownCollectionStart(CollectionStart& start);

// A collection is present only when the file is strictly longer than `start`, both taken as
// 64-bit numbers.
bool collectionFollows(const FoundFile& programFile, const CollectionStart& start);
