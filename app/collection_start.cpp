// The program's own image end, read from the headers that the loader mapped into memory.
#include "collection_start.h"

#include <windows.h>

#include "pe_image.h"

bool ownCollectionStart(CollectionStart& start) {
    const uint8_t* base = reinterpret_cast<const uint8_t*>(GetModuleHandleW(nullptr));
    MEMORY_BASIC_INFORMATION region;
    if (base == nullptr || VirtualQuery(base, &region, sizeof region) == 0) return false;
    // Only the mapped header pages are read; the section table lies inside them.
    size_t readable = region.RegionSize;
    uint64_t end = 0;
    if (!peImageFileEnd(base, readable, end)) return false;
    start.high = static_cast<uint32_t>(end >> 32);
    start.low = static_cast<uint32_t>(end);
    return true;
}

bool collectionFollows(const FoundFile& programFile, const CollectionStart& start) {
    return programFile.size() > start.offset();
}
