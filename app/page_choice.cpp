// The page of a file list dialog's result.
#include "page_choice.h"

namespace {
const INT_PTR kFirstRowResult = 10;
}

uint32_t pickedPage(INT_PTR result, uint32_t entryCount) {
    if (result < kFirstRowResult) return 0;
    const INT_PTR page = result - (kFirstRowResult - 1);
    return static_cast<uint64_t>(page) <= entryCount ? static_cast<uint32_t>(page) : 0;
}
